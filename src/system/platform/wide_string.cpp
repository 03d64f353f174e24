#include "system/platform/wide_string.h"

#include "common/text.h"

namespace koravale {

std::wstring to_wide(std::string_view utf8) {
    const std::u16string text = utf16_from_utf8(utf8);
    return std::wstring(text.begin(), text.end());
}

std::u16string_view as_utf16(std::wstring_view wide) {
    return {reinterpret_cast<const char16_t*>(wide.data()), wide.size()};
}

std::string from_wide_lossy(std::wstring_view wide) { return utf8_from_utf16_lossy(as_utf16(wide)); }

std::optional<std::string> from_wide_strict(std::wstring_view wide) {
    return utf8_from_utf16_strict(as_utf16(wide));
}

}  // namespace koravale
