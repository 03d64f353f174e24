#include "system/running_application.h"

#include <windows.h>

#include "product/close_loop.h"
#include "product/io_failure_text.h"
#include "product/product_constants.h"
#include "system/os_error.h"
#include "system/unique_handle.h"
#include "system/wide_string.h"

namespace koravale {
namespace {

constexpr std::string_view STILL_RUNNING_TEXT = "KoraVale 的窗口在多次请求关闭后仍未关闭";

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
            const std::string seconds = std::to_string(WAIT_PID_TIMEOUT_MS / 1000);
            skipped.push_back({"进程 " + std::to_string(*wait_pid) + " 在 " + seconds + " 秒内没有结束，不再等待"});
        }
    }
    const std::wstring window_class = to_wide(APP_WINDOW_CLASS);
    const auto find_player = [&] { return FindWindowW(window_class.c_str(), nullptr); };
    run_close_loop(find_player, [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); },
                   [] { Sleep(CLOSE_POLL_INTERVAL_MS); });
    if (find_player()) skipped.push_back({std::string(STILL_RUNNING_TEXT)});
    return skipped;
}

Status launch_application(const std::string& program_path) {
    const std::wstring application = to_wide(program_path);
    std::wstring command_line = L"\"" + application + L"\"";  // CreateProcessW may write to it
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(application.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        const DWORD error = GetLastError();
        return describe_failure(START_VERB, program_path, io_error_from_code(error).text);
    }
    // Released at once, the thread's handle first: the player is not ours to watch.
    UniqueKernelHandle process(started.hProcess);
    UniqueKernelHandle thread(started.hThread);
    return Done{};
}

}  // namespace koravale
