#include "product/installation/install_layout.h"

#include "common/text.h"
#include "common/windows_path.h"
#include "product/identity/product_constants.h"
#include "product/installation/self_removal_command.h"
#include "texts/failure_texts.h"

namespace koravale {
namespace {

std::optional<std::string> shortcut_in(const std::optional<std::string>& folder) {
    if (!folder) return std::nullopt;
    return join_path(*folder, SHORTCUT_NAME);
}

}  // namespace

std::string join_path(std::string_view dir, std::string_view name) {
    std::string path(dir);
    if (!path.empty() && !is_path_separator(path.back())) path += '\\';
    path += name;
    return path;
}

std::string staging_path(std::string_view install_dir, std::string_view staging_name) {
    return join_path(install_dir, staging_name);
}

InstallLayout make_install_layout(std::string_view install_dir, const UserFolders& folders) {
    return InstallLayout{
        .install_dir = std::string(install_dir),
        .app_exe = join_path(install_dir, APP_EXE_NAME),
        .uninstaller = join_path(install_dir, UNINSTALLER_NAME),
        .data_dir = join_path(folders.local_app_data, PRODUCT_NAME),
        .start_menu_shortcut = shortcut_in(folders.programs),
        .desktop_shortcut = shortcut_in(folders.desktop),
    };
}

std::string default_install_dir_under(std::string_view local_app_data) {
    return join_path(join_path(local_app_data, PROGRAMS_FOLDER_NAME), PRODUCT_NAME);
}

Result<std::string> choose_local_app_data(const std::optional<std::string>& known_folder,
                                          const std::optional<std::string>& environment_value) {
    // An empty text would make every derived path relative to the current
    // directory, and the data directory is one an uninstall may purge.
    if (known_folder && !known_folder->empty()) return *known_folder;
    if (environment_value && !environment_value->empty()) return *environment_value;
    return SetupError{std::string(LOCAL_APP_DATA_MISSING_MESSAGE)};
}

std::optional<std::string> uninstaller_dir_of(std::string_view exe_path) {
    const std::size_t last_separator = exe_path.find_last_of("\\/");
    if (last_separator == std::string_view::npos) return std::nullopt;
    const std::string_view file_name = exe_path.substr(last_separator + 1);
    if (!ascii_iequals(file_name, UNINSTALLER_NAME)) return std::nullopt;
    const std::optional<std::string_view> dir = parent_path(exe_path);
    if (!dir) return std::nullopt;
    return std::string(*dir);
}

bool is_program_entry_name(std::string_view file_name) {
    for (std::string_view name : {APP_EXE_NAME, APP_STAGING_NAME, UNINSTALLER_NAME, UNINSTALLER_STAGING_NAME}) {
        if (ascii_iequals(file_name, name)) return true;
    }
    return is_retired_program_file_name(file_name);
}

}  // namespace koravale
