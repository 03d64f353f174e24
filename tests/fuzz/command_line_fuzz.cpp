// Random command lines: splitting, quoting the pieces again and splitting
// once more gives the same arguments, and only an unpaired surrogate keeps
// them from becoming option texts.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "product/options/command_line.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// The C runtime's quoting: backslashes double only before a quote.
std::u16string quoted_argument(const std::u16string& argument) {
    std::u16string text = u"\"";
    std::size_t backslashes = 0;
    for (char16_t c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        text.append(c == u'"' ? 2 * backslashes + 1 : backslashes, u'\\');
        backslashes = 0;
        text += c;
    }
    text.append(2 * backslashes, u'\\');
    return text + u"\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace koravale;
    std::u16string line(size / 2, u'\0');
    for (std::size_t i = 0; i < line.size(); ++i) line[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);

    const std::vector<std::u16string> arguments = split_command_line(line);
    require(arguments.empty() == line.empty());
    if (arguments.empty()) return 0;
    require(arguments.size() <= line.size());
    require(arguments[0].find(u'"') == std::u16string::npos);

    std::u16string again = u"\"" + arguments[0] + u"\"";
    for (std::size_t i = 1; i < arguments.size(); ++i) again += u" " + quoted_argument(arguments[i]);
    require(split_command_line(again) == arguments);

    const std::optional<std::vector<std::string>> texts = option_arguments(arguments);
    if (!texts) {
        bool unpaired = false;
        for (std::size_t i = 1; i < arguments.size(); ++i) unpaired |= !utf8_from_utf16_strict(arguments[i]);
        require(unpaired);
        return 0;
    }
    require(texts->size() == arguments.size() - 1);
    for (std::size_t i = 0; i < texts->size(); ++i) require(utf16_from_utf8((*texts)[i]) == arguments[i + 1]);
    return 0;
}
