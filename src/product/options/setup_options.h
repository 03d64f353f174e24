#pragma once
// What the command line asks of this run.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace koravale {

struct SetupOptions {
    bool uninstall = false;
    bool silent = false;
    bool relaunch = false;
    bool purge_data = false;
    bool passive = false;  // the window shows progress only and asks nothing
    std::optional<std::uint32_t> wait_pid;
    std::optional<std::string> dir;       // never empty or blank when present
    std::optional<std::string> log_file;  // where the run log is appended; never empty or blank

    bool operator==(const SetupOptions&) const = default;
};

// Reads the arguments after the program name, left to right. Unknown
// arguments and bad values are ignored: a shortcut with a stray switch
// must still start the setup.
SetupOptions parse_options(std::span<const std::string> arguments);

// An optional single "+", then decimal digits only, at most 4294967295.
std::optional<std::uint32_t> parse_process_id(std::string_view text);

}  // namespace koravale
