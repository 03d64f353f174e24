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

const AttachedPrefix* attached_prefix_of(std::string_view argument) {
    for (const AttachedPrefix& attached : ATTACHED_PREFIXES) {
        if (argument.starts_with(attached.prefix)) return &attached;
    }
    return nullptr;
}

enum class Switch { None, Uninstall, Silent, Relaunch, PurgeData, Passive, WaitPid, Dir, Log };

// The spellings that stand alone, matched on the lower-cased argument.
Switch switch_named(std::string_view word) {
    if (is_one_of(word, {"--uninstall", "/uninstall"})) return Switch::Uninstall;
    if (is_one_of(word, {"--silent", "/s", "/silent"})) return Switch::Silent;
    if (is_one_of(word, {"--relaunch", "/relaunch"})) return Switch::Relaunch;
    if (is_one_of(word, {"--purge-data", "/purge-data"})) return Switch::PurgeData;
    if (is_one_of(word, {"--passive", "/passive"})) return Switch::Passive;
    if (word == "--wait-pid") return Switch::WaitPid;
    if (is_one_of(word, {"--dir", "/dir", "/d"})) return Switch::Dir;
    if (is_one_of(word, {"--log", "/log"})) return Switch::Log;
    return Switch::None;
}

bool is_switch(const std::string& argument) {
    return switch_named(ascii_lower(argument)) != Switch::None || attached_prefix_of(argument) != nullptr;
}

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
        switch (switch_named(ascii_lower(argument))) {
            case Switch::Uninstall:
                options.uninstall = true;
                break;
            case Switch::Silent:
                options.silent = true;
                break;
            case Switch::Relaunch:
                options.relaunch = true;
                break;
            case Switch::PurgeData:
                options.purge_data = true;
                break;
            case Switch::Passive:
                options.passive = true;
                break;
            case Switch::WaitPid:
                if (++i == arguments.size()) return options;
                options.wait_pid = parse_process_id(arguments[i]);
                break;
            case Switch::Dir:
                if (++i == arguments.size()) return options;
                take_text(options.dir, arguments[i]);
                break;
            case Switch::Log:
                // "--log --silent" lost its file name, not its switch.
                if (i + 1 == arguments.size() || is_switch(arguments[i + 1])) break;
                take_text(options.log_file, arguments[++i]);
                break;
            case Switch::None:
                if (const AttachedPrefix* attached = attached_prefix_of(argument)) {
                    take_text(options.*attached->option, std::string_view(argument).substr(attached->prefix.size()));
                }
                break;
        }
    }
    return options;
}

}  // namespace koravale
