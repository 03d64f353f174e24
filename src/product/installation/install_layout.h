#pragma once
// Every path the setup program reads, writes or deletes is derived here
// from one install directory and the user's shell folders.

#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"

namespace koravale {

struct InstallLayout {
    std::string install_dir;
    std::string app_exe;
    std::string uninstaller;
    std::string data_dir;
    std::optional<std::string> start_menu_shortcut;
    std::optional<std::string> desktop_shortcut;

    bool operator==(const InstallLayout&) const = default;
};

// The user's folders a layout hangs from, as the platform reported them.
struct UserFolders {
    std::string local_app_data;
    std::optional<std::string> programs;  // the Start menu's Programs folder
    std::optional<std::string> desktop;
};

// One backslash between directory and name, unless the directory is empty
// or already ends with a backslash or slash.
std::string join_path(std::string_view dir, std::string_view name);

std::string staging_path(std::string_view install_dir, std::string_view staging_name);

InstallLayout make_install_layout(std::string_view install_dir, const UserFolders& folders);

std::string default_install_dir_under(std::string_view local_app_data);

// The known folder first, then the environment variable, unchanged.
Result<std::string> choose_local_app_data(const std::optional<std::string>& known_folder,
                                          const std::optional<std::string>& environment_value);

// The folder holding `exe_path` when its file name is the uninstaller's
// (ASCII letters in any case); none for any other name.
std::optional<std::string> uninstaller_dir_of(std::string_view exe_path);

// A name the program itself puts into its folder: the program, the
// uninstaller, their staging names, or an uninstaller renamed for its
// removal (ASCII letters in any case). What lies there under such a name
// an install replaces or deletes; it keeps nothing of it.
bool is_program_entry_name(std::string_view file_name);

}  // namespace koravale
