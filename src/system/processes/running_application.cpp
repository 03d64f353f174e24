#include "system/processes/running_application.h"

#include <windows.h>

#include "product/identity/product_constants.h"
#include "product/installation/close_loop.h"
#include "product/installation/io_failure_text.h"
#include "system/platform/os_error.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale {
namespace {


}  // namespace

SkippedFailures close_running_application(std::optional<std::uint32_t> wait_pid) {
    SkippedFailures skipped;
    if (wait_pid) {
        // A process already gone, or one we may not open, is not waited for.
        const HANDLE opened = OpenProcess(SYNCHRONIZE, FALSE, *wait_pid);
        const DWORD open_error = opened == nullptr ? GetLastError() : ERROR_SUCCESS;
        const UniqueKernelHandle process(opened);
        if (!process) {
            skipped.push_back(
                describe_failure(OPEN_PROCESS_VERB, std::to_string(*wait_pid), io_error_from_code(open_error).text));
        } else if (WaitForSingleObject(process.get(), WAIT_PID_TIMEOUT_MS) == WAIT_TIMEOUT) {
            skipped.push_back({process_still_running_text(*wait_pid, WAIT_PID_TIMEOUT_MS / 1000)});
        }
    }
    const std::wstring window_class = to_wide(APP_WINDOW_CLASS);
    const auto find_player = [&] { return FindWindowW(window_class.c_str(), nullptr); };
    run_close_loop(find_player, [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); },
                   [] { Sleep(POLL_INTERVAL_MS); });
    if (find_player()) skipped.push_back({std::string(STILL_RUNNING_TEXT)});
    return skipped;
}

Status launch_application(const std::string& program_path) {
    const std::wstring application = to_wide(program_path);
    std::wstring command_line = L"\"" + application + L"\"";  // CreateProcessW may write to it
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    // Released at once: the player is not ours to watch.
    UniqueProcessInformation started;
    if (!CreateProcessW(application.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, started.put())) {
        const DWORD error = GetLastError();
        return describe_failure(START_VERB, program_path, io_error_from_code(error).text);
    }
    return Done{};
}

}  // namespace koravale
