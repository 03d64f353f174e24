// Runs one operation that behaves differently for the running program
// itself, so that tests can copy this probe under the names that matter:
//   remove-old-program-files DIR
//   place-uninstaller-copy DIR          (the uninstaller is DIR\uninstall.exe)
//   schedule-self-removal LINGER_MS     (its own file and folder; then lives on LINGER_MS)
//   hold-setup-lock READY_FILE          (the user's setup lock; READY_FILE made once held; ends without giving it back after a minute)

#include <windows.h>

#include <cwchar>
#include <string>

#include "product/identity/product_constants.h"
#include "product/installation/install_layout.h"
#include "product/installation/self_removal_command.h"
#include "system/files/file_identity.h"
#include "system/files/program_files.h"
#include "system/platform/wide_string.h"
#include "system/processes/self_removal.h"
#include "system/security/setup_lock.h"
#include "system/shell/install_paths.h"

int wmain(int argc, wchar_t** argv) {
    using namespace koravale;
    if (argc != 3) return 2;
    const std::wstring verb = argv[1];
    const std::string argument = from_wide_lossy(argv[2]);
    if (verb == L"remove-old-program-files") {
        static_cast<void>(remove_old_program_files(argument));
    } else if (verb == L"place-uninstaller-copy") {
        static_cast<void>(place_uninstaller_copy(argument, join_path(argument, UNINSTALLER_NAME)));
    } else if (verb == L"schedule-self-removal") {
        const std::optional<std::string> exe = running_executable_path();
        const std::optional<std::string> dir = running_uninstaller_dir();
        if (!exe || !dir) return 3;
        // As the uninstall does: a path the shell refuses keeps its name.
        const bool shell_safe = safe_for_command_shell(*exe) && safe_for_command_shell(*dir);
        const Result<std::string> retired = shell_safe ? retire_running_uninstaller(*exe) : Result<std::string>(*exe);
        static_cast<void>(start_removal_shell(retired ? *retired : *exe, *dir));
        Sleep(std::wcstoul(argv[2], nullptr, 10));
    } else if (verb == L"hold-setup-lock") {
        Result<SetupLock> lock = SetupLock::open();
        if (!lock || !lock->take(10000)) return 3;
        CloseHandle(CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        Sleep(60000);
        ExitProcess(0);  // as a killed run would: the lock is never released
    } else {
        return 2;
    }
    return 0;
}
