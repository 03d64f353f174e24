#include "system/running_application.h"

#include <windows.h>

#include "app/close_loop.h"
#include "app/product_constants.h"
#include "system/unique_handle.h"
#include "system/wide_string.h"

namespace koravale {

void close_running_application(std::optional<std::uint32_t> wait_pid) {
    if (wait_pid) {
        // A process already gone, or one we may not open, is not waited for.
        UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, *wait_pid));
        if (process && process.get() != INVALID_HANDLE_VALUE) WaitForSingleObject(process.get(), WAIT_PID_TIMEOUT_MS);
    }
    const std::wstring window_class = to_wide(APP_WINDOW_CLASS);
    run_close_loop([&] { return FindWindowW(window_class.c_str(), nullptr); },
                   [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); },
                   [] { Sleep(CLOSE_POLL_INTERVAL_MS); });
}

void launch_application(const std::string& program_path) {
    const std::wstring application = to_wide(program_path);
    std::wstring command_line = L"\"" + application + L"\"";  // CreateProcessW may write to it
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(application.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return;
    // Released at once, the thread's handle first: the player is not ours to watch.
    UniqueKernelHandle process(started.hProcess);
    UniqueKernelHandle thread(started.hThread);
}

}  // namespace koravale
