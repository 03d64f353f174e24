#include "system/self_removal.h"

#include <windows.h>

#include <optional>

#include "app/io_failure_text.h"
#include "app/self_removal_command.h"
#include "system/known_folders.h"
#include "system/os_error.h"
#include "system/unique_handle.h"
#include "system/wide_string.h"

namespace koravale {
namespace {

static_assert(sizeof(STARTUPINFOW) == 104, "the shell is started with the 64-bit start-up record");

// A scanner may hold the file for a moment without sharing its deletion.
constexpr int RETIRE_ATTEMPTS = 20;
constexpr DWORD RETIRE_RETRY_DELAY_MS = 150;

bool move_file(const std::string& from, const std::string& to) {
    return MoveFileExW(to_wide(from).c_str(), to_wide(to).c_str(), 0) != 0;
}

// Renames the running uninstaller so that the shell's path names only this
// file. None when it cannot be renamed: the shell then gets the old name.
std::optional<std::string> retire_running_uninstaller(const std::string& uninstaller) {
    const std::string retired = retired_uninstaller_path(uninstaller, GetCurrentProcessId(), GetTickCount64());
    for (int attempt = 0; attempt < RETIRE_ATTEMPTS; ++attempt) {
        if (move_file(uninstaller, retired)) return retired;
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) break;
        Sleep(RETIRE_RETRY_DELAY_MS);
    }
    return std::nullopt;
}

Status start_removal_shell(const std::string& uninstaller_path, const std::string& install_dir) {
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
        return describe_failure(START_VERB, shell, last_io_error().text);
    }
    // Declared in this order so that the thread handle is closed first.
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    return Done{};
}

}  // namespace

Result<std::string> schedule_self_removal(const std::string& uninstaller_path, const std::string& install_dir) {
    // Leaving both in place is better than a shell that deletes something else.
    if (!safe_for_command_shell(uninstaller_path) || !safe_for_command_shell(install_dir)) {
        return SetupError{"路径中有命令行无法安全传递的字符，" + uninstaller_path + " 与 " + install_dir + " 留在原处"};
    }
    const std::optional<std::string> retired = retire_running_uninstaller(uninstaller_path);
    const std::string& handed_over = retired ? *retired : uninstaller_path;
    const Status started = start_removal_shell(handed_over, install_dir);
    if (started) return handed_over;
    if (retired) move_file(*retired, uninstaller_path);  // back as it was: nothing will delete it now
    return started.error();
}

}  // namespace koravale
