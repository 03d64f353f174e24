#include "system/install_paths.h"

#include <windows.h>

#include "system/known_folders.h"
#include "system/wide_string.h"

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

std::optional<std::string> running_executable_path() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::nullopt;
        if (length < path.size()) {  // on truncation the length equals the buffer size
            path.resize(length);
            return from_wide_strict(path);
        }
        if (path.size() >= 32768) return std::nullopt;
        path.resize(path.size() * 2);
    }
}

std::optional<std::string> running_uninstaller_dir() {
    const std::optional<std::string> path = running_executable_path();
    if (!path) return std::nullopt;
    return uninstaller_dir_of(*path);
}

}  // namespace koravale
