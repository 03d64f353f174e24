#include "system/self_removal.h"

#include <windows.h>

#include "product/io_failure_text.h"
#include "product/self_removal_command.h"
#include "system/known_folders.h"
#include "system/os_error.h"
#include "system/retry_with_pauses.h"
#include "system/unique_handle.h"
#include "system/wide_string.h"

namespace koravale {
namespace {

static_assert(sizeof(STARTUPINFOW) == 104, "the shell is started with the 64-bit start-up record");

// A scanner may hold the file for a moment without sharing its deletion.
constexpr int RETIRE_ATTEMPTS = 20;
constexpr DWORD RETIRE_RETRY_DELAY_MS = 150;

// The error code, read before anything else can change it.
DWORD move_file(const std::string& from, const std::string& to) {
    const std::wstring wide_from = to_wide(from);
    const std::wstring wide_to = to_wide(to);
    return MoveFileExW(wide_from.c_str(), wide_to.c_str(), 0) ? ERROR_SUCCESS : GetLastError();
}

SetupError rename_failure(const std::string& from, DWORD error) {
    return describe_failure(RENAME_VERB, from, io_error_from_code(error).text);
}

}  // namespace

Result<std::string> retire_running_uninstaller(const std::string& uninstaller, bool once) {
    const std::string retired = retired_uninstaller_path(uninstaller, GetCurrentProcessId(), GetTickCount64());
    DWORD error = ERROR_SUCCESS;
    retry_with_pauses(once ? 1 : RETIRE_ATTEMPTS, RETIRE_RETRY_DELAY_MS, [&] {
        error = move_file(uninstaller, retired);
        return error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED;
    });
    if (error == ERROR_SUCCESS) return retired;
    return rename_failure(uninstaller, error);
}

Status start_removal_shell(const std::string& file, const std::string& install_dir, HANDLE marker) {
    // Leaving both in place is better than a shell that deletes something else.
    if (!safe_for_command_shell(file) || !safe_for_command_shell(install_dir)) {
        return SetupError{"路径中有命令行无法安全传递的字符，" + file + " 与 " + install_dir + " 留在原处"};
    }
    const std::string system_root = system_root_or_default(environment_variable("SystemRoot"));
    const std::string shell = command_shell_path(system_root);
    std::wstring command_line = to_wide(self_removal_command_line(shell, file, install_dir));
    const std::wstring wide_shell = to_wide(shell);
    const std::wstring wide_root = to_wide(system_root);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    // This program makes no other handle inheritable: the marker is all the shell gets.
    const BOOL inherit = marker != nullptr ? TRUE : FALSE;
    if (!CreateProcessW(wide_shell.c_str(), command_line.data(), nullptr, nullptr, inherit, CREATE_NO_WINDOW, nullptr,
                        wide_root.c_str(), &startup, &started)) {
        return describe_failure(START_VERB, shell, last_io_error().text);
    }
    // Declared in this order so that the thread handle is closed first.
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    return Done{};
}

Status restore_retired_uninstaller(const std::string& retired, const std::string& uninstaller) {
    if (const DWORD error = move_file(retired, uninstaller)) return rename_failure(retired, error);
    return Done{};
}

}  // namespace koravale
