#include "product/options/command_line.h"

#include "common/text.h"

namespace koravale {
namespace {

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::vector<std::u16string> split_command_line(std::u16string_view line) {
    std::vector<std::u16string> arguments;
    if (line.empty()) return arguments;

    std::size_t pos = 0;
    std::u16string program;
    for (bool quoted = false; pos < line.size() && (quoted || !is_blank(line[pos])); ++pos) {
        if (line[pos] == u'"')
            quoted = !quoted;
        else
            program += line[pos];
    }
    arguments.push_back(std::move(program));

    std::u16string current;
    bool started = false;  // a quote alone makes an (empty) argument
    bool quoted = false;
    while (pos < line.size()) {
        const char16_t c = line[pos];
        if (!quoted && is_blank(c)) {
            if (started) arguments.push_back(std::move(current));
            current.clear();
            started = false;
            ++pos;
            continue;
        }
        started = true;
        if (c == u'\\') {
            std::size_t run = 0;
            while (pos < line.size() && line[pos] == u'\\') ++run, ++pos;
            if (pos < line.size() && line[pos] == u'"') {
                current.append(run / 2, u'\\');
                if (run % 2 == 1) {
                    current += u'"';
                    ++pos;
                }
                // An even run leaves the quote to be read as a quote below.
            } else {
                current.append(run, u'\\');
            }
            continue;
        }
        if (c == u'"') {
            if (quoted && pos + 1 < line.size() && line[pos + 1] == u'"') {
                current += u'"';
                pos += 2;
            } else {
                quoted = !quoted;
                ++pos;
            }
            continue;
        }
        current += c;
        ++pos;
    }
    if (started) arguments.push_back(std::move(current));
    return arguments;
}

std::optional<std::vector<std::string>> option_arguments(std::span<const std::u16string> arguments) {
    std::vector<std::string> options;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        std::optional<std::string> text = utf8_from_utf16_strict(arguments[i]);
        if (!text) return std::nullopt;
        options.push_back(std::move(*text));
    }
    return options;
}

}  // namespace koravale
