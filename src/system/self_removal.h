#pragma once
// Hands the uninstaller file and its folder to a hidden command shell,
// which deletes them once the uninstaller has exited.

#include <string>

namespace koravale {

// Starts the shell and returns at once; nothing is reported, and when the
// shell cannot be started both simply remain.
void schedule_self_removal(const std::string& uninstaller_path, const std::string& install_dir);

}  // namespace koravale
