#pragma once
// Hands the uninstaller file and its folder to a hidden command shell,
// which deletes them once the uninstaller has exited.

#include <string>

#include "common/result.h"

namespace koravale {

// Starts the shell and returns at once. When the shell cannot be started
// both simply remain; the failure is only described, for the log.
Status schedule_self_removal(const std::string& uninstaller_path, const std::string& install_dir);

}  // namespace koravale
