#pragma once
// Hands the uninstaller file and its folder to a hidden command shell,
// which deletes them once the uninstaller has exited.

#include <string>

#include "common/result.h"

namespace koravale {

// Renames the uninstaller to its retired name, so that the shell deletes
// that very file and nothing put in its place later, then starts the shell
// and returns at once with the path the shell deletes. When the file cannot
// be renamed (held for more than about three seconds), the shell gets its
// own name. When the shell cannot be started both simply remain, under the
// old name; the failure is only described, for the log.
Result<std::string> schedule_self_removal(const std::string& uninstaller_path, const std::string& install_dir);

}  // namespace koravale
