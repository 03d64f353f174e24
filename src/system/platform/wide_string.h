#pragma once
// The platform's UTF-16 text (WideString) exists only at the call.

#include <optional>
#include <string>
#include <string_view>

namespace koravale {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

std::wstring to_wide(std::string_view utf8);
std::u16string_view as_utf16(std::wstring_view wide);
std::string from_wide_lossy(std::wstring_view wide);
std::optional<std::string> from_wide_strict(std::wstring_view wide);

}  // namespace koravale
