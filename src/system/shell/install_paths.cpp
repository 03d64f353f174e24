#include "system/shell/install_paths.h"

#include <windows.h>

#include "system/files/file_identity.h"
#include "system/platform/wide_string.h"
#include "system/shell/known_folders.h"

namespace koravale {

Result<std::string> default_install_dir() {
    Result<std::string> local = local_app_data_dir();
    if (!local) return local.error();
    return default_install_dir_under(*local);
}

Result<InstallLayout> layout_for(std::string_view install_dir) {
    Result<std::string> local = local_app_data_dir();
    if (!local) return local.error();
    const UserFolders folders{
        .local_app_data = std::move(*local),
        .programs = known_folder_path(FOLDERID_Programs),
        .desktop = known_folder_path(FOLDERID_Desktop),
    };
    return make_install_layout(install_dir, folders);
}

std::optional<std::string> running_uninstaller_dir() {
    const std::optional<std::string> path = running_executable_path();
    if (!path) return std::nullopt;
    return uninstaller_dir_of(*path);
}

}  // namespace koravale
