#include "system/processes/self_removal.h"

#include <windows.h>

#include "product/identity/product_constants.h"
#include "product/installation/io_failure_text.h"
#include "product/installation/self_removal_command.h"
#include "system/platform/os_error.h"
#include "system/platform/retry_with_pauses.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"
#include "system/shell/known_folders.h"

namespace koravale {
namespace {

static_assert(sizeof(STARTUPINFOW) == 104, "the shell is started with the 64-bit start-up record");

// A scanner may hold the file for a moment without sharing its deletion.
constexpr int RETIRE_ATTEMPTS = 20;

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
    retry_with_pauses(once ? 1 : RETIRE_ATTEMPTS, POLL_INTERVAL_MS, [&] {
        error = move_file(uninstaller, retired);
        return error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED;
    });
    if (error == ERROR_SUCCESS) return retired;
    return rename_failure(uninstaller, error);
}

Status start_removal_shell(const std::string& file, const std::string& install_dir, HANDLE marker) {
    // Leaving both in place is better than a shell that deletes something else.
    if (!safe_for_command_shell(file) || !safe_for_command_shell(install_dir)) {
        return SetupError{unsafe_shell_path_text(file, install_dir)};
    }
    const std::string system_root = system_root_or_default(environment_variable("SystemRoot"));
    const std::string shell = command_shell_path(system_root);
    std::wstring command_line = to_wide(self_removal_command_line(shell, file, install_dir));
    const std::wstring wide_shell = to_wide(shell);
    const std::wstring wide_root = to_wide(system_root);

    // The shell inherits nothing, and gets no standard handles either: a
    // deployment tool's redirected output, say, would stay open as long as
    // the shell runs, and the tool would wait for it that long.
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    UniqueProcessInformation started;
    const DWORD flags = CREATE_NO_WINDOW | (marker != nullptr ? CREATE_SUSPENDED : 0);
    if (!CreateProcessW(wide_shell.c_str(), command_line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        wide_root.c_str(), &startup, started.put())) {
        return describe_failure(START_VERB, shell, last_io_error().text);
    }
    if (marker == nullptr) return Done{};
    // The marker goes to the shell before it may delete anything; a shell
    // without it would delete by name unseen, so it never runs.
    HANDLE in_shell = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), marker, started.process(), &in_shell, 0, FALSE, DUPLICATE_SAME_ACCESS) ||
        ResumeThread(started.thread()) == static_cast<DWORD>(-1)) {
        const IoError error = last_io_error();
        TerminateProcess(started.process(), 1);
        return describe_failure(START_VERB, shell, error.text);
    }
    return Done{};
}

Status restore_retired_uninstaller(const std::string& retired, const std::string& uninstaller) {
    if (const DWORD error = move_file(retired, uninstaller)) return rename_failure(retired, error);
    return Done{};
}

}  // namespace koravale
