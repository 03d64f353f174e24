#pragma once
// The uninstaller cannot delete its own file while it runs: it takes a
// name no install writes, and a hidden command shell deletes that file and
// the then empty folder once the uninstaller has exited.

#include <windows.h>

#include <string>

#include "common/result.h"

namespace koravale {

// Renames the running uninstaller beside itself to its retired name and
// returns that path, so that the shell deletes this very file and nothing
// put in its place later. A scanner holding the file for a moment is waited
// for (about three seconds) unless `once`; the error says why it kept its name.
Result<std::string> retire_running_uninstaller(const std::string& uninstaller, bool once = false);

// Starts the hidden shell that deletes `file`, then `install_dir` when it is
// empty, once this process has ended; returns at once. A path the shell
// cannot take as it stands is refused, and nothing is started. The shell
// is given `marker` when there is one, and inherits no handle.
Status start_removal_shell(const std::string& file, const std::string& install_dir, HANDLE marker = nullptr);

// Gives a retired uninstaller its own name back when no shell will delete
// it. A file of that name, such as the uninstaller of a later install, is
// never replaced.
Status restore_retired_uninstaller(const std::string& retired, const std::string& uninstaller);

}  // namespace koravale
