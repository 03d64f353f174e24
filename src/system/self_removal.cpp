#include "system/self_removal.h"

#include <windows.h>

#include "app/self_removal_command.h"
#include "system/known_folders.h"
#include "system/os_error.h"
#include "system/unique_handle.h"
#include "system/wide_string.h"

namespace koravale {

static_assert(sizeof(STARTUPINFOW) == 104, "the shell is started with the 64-bit start-up record");

Status schedule_self_removal(const std::string& uninstaller_path, const std::string& install_dir) {
    // Leaving both in place is better than a shell that deletes something else.
    if (!safe_for_command_shell(uninstaller_path) || !safe_for_command_shell(install_dir)) {
        return SetupError{"路径中有命令行无法安全传递的字符，" + uninstaller_path + " 与 " + install_dir + " 留在原处"};
    }
    const std::string system_root = system_root_or_default(environment_variable("SystemRoot"));
    const std::string shell = command_shell_path(system_root);
    std::wstring command_line = to_wide(self_removal_command_line(shell, uninstaller_path, install_dir));
    const std::wstring wide_shell = to_wide(shell);
    const std::wstring wide_root = to_wide(system_root);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(wide_shell.c_str(), command_line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        wide_root.c_str(), &startup, &started)) {
        return describe_failure("启动", shell, last_io_error().text);
    }
    // Declared in this order so that the thread handle is closed first.
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    return Done{};
}

}  // namespace koravale
