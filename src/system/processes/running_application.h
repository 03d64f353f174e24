#pragma once
// A running player, asked to let go of its files; and the player started
// after an install.

#include <cstdint>
#include <optional>
#include <string>

#include "common/result.h"

namespace koravale {

// Waits for the given process to end (bounded), then asks the player's
// window to close, a few times, for a bounded while. Never forces a
// process to end and never fails: whatever still runs is left to the
// retries of the file operations, and only described here.
SkippedFailures close_running_application(std::optional<std::uint32_t> wait_pid);

// Starts the program with its quoted path as the whole command line and
// does not watch it; a program that cannot be started is no error of the
// install, only described.
Status launch_application(const std::string& program_path);

}  // namespace koravale
