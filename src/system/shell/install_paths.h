#pragma once
// Install layouts of this machine's user, and the running program's own place.

#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"
#include "product/installation/install_layout.h"

namespace koravale {

Result<std::string> default_install_dir();
Result<InstallLayout> layout_for(std::string_view install_dir);

// The running program's folder when it runs under the uninstaller's name.
std::optional<std::string> running_uninstaller_dir();

}  // namespace koravale
