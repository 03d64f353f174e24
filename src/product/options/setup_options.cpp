#include "product/options/setup_options.h"

#include <array>
#include <string_view>

#include "common/text.h"

namespace koravale {
namespace {

bool is_one_of(std::string_view word, std::initializer_list<std::string_view> spellings) {
    for (std::string_view spelling : spellings) {
        if (word == spelling) return true;
    }
    return false;
}

// A blank value leaves an earlier one in place.
void take_text(std::optional<std::string>& option, std::string_view value) {
    const std::string_view trimmed = trim_white_space(value);
    if (!trimmed.empty()) option = std::string(trimmed);
}

struct AttachedPrefix {
    std::string_view prefix;
    std::optional<std::string> SetupOptions::*option;
};

// Attached spellings are matched case-sensitively, as given.
constexpr std::array<AttachedPrefix, 10> ATTACHED_PREFIXES = {{
    {"--dir=", &SetupOptions::dir},
    {"--DIR=", &SetupOptions::dir},
    {"/dir=", &SetupOptions::dir},
    {"/DIR=", &SetupOptions::dir},
    {"/D=", &SetupOptions::dir},
    {"/d=", &SetupOptions::dir},
    {"--log=", &SetupOptions::log_file},
    {"--LOG=", &SetupOptions::log_file},
    {"/log=", &SetupOptions::log_file},
    {"/LOG=", &SetupOptions::log_file},
}};

}  // namespace

std::optional<std::uint32_t> parse_process_id(std::string_view text) {
    const std::optional<std::uint64_t> value = parse_decimal(text, UINT32_MAX);
    if (!value) return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

SetupOptions parse_options(std::span<const std::string> arguments) {
    SetupOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::string word = ascii_lower(argument);
        if (is_one_of(word, {"--uninstall", "/uninstall"})) {
            options.uninstall = true;
        } else if (is_one_of(word, {"--silent", "/s", "/silent"})) {
            options.silent = true;
        } else if (is_one_of(word, {"--relaunch", "/relaunch"})) {
            options.relaunch = true;
        } else if (is_one_of(word, {"--purge-data", "/purge-data"})) {
            options.purge_data = true;
        } else if (is_one_of(word, {"--passive", "/passive"})) {
            options.passive = true;
        } else if (word == "--wait-pid") {
            if (++i == arguments.size()) break;
            options.wait_pid = parse_process_id(arguments[i]);
        } else if (is_one_of(word, {"--dir", "/dir", "/d"})) {
            if (++i == arguments.size()) break;
            take_text(options.dir, arguments[i]);
        } else if (is_one_of(word, {"--log", "/log"})) {
            if (++i == arguments.size()) break;
            take_text(options.log_file, arguments[i]);
        } else {
            for (const AttachedPrefix& attached : ATTACHED_PREFIXES) {
                if (std::string_view(argument).starts_with(attached.prefix)) {
                    take_text(options.*attached.option, std::string_view(argument).substr(attached.prefix.size()));
                    break;
                }
            }
        }
    }
    return options;
}

}  // namespace koravale
