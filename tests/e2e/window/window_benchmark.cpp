// Responsiveness figures of the setup window under Wine: how long until the
// window is shown, how quickly it answers while its worker waits on a
// locked program file, and how long a passive run takes from its last
// logged stage to its end. Prints figures; passes or fails nothing.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "support/window_driver.h"

namespace {

using namespace koravale::testing_support;
using namespace koravale::window_testing;

constexpr int STARTS = 5;

double now_ms() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

HWND visible_setup_window(DWORD process_id) {
    for (HWND window = FindWindowW(L"KoraValeSetupWnd", nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, L"KoraValeSetupWnd", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process_id && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

void print_figures(const char* what, std::vector<double> samples) {
    if (samples.empty()) {
        std::printf("%s: no samples\n", what);
        return;
    }
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) { return samples[static_cast<std::size_t>(q * static_cast<double>(samples.size() - 1))]; };
    std::printf("%s: n=%zu min=%.2f ms median=%.2f ms p99=%.2f ms max=%.2f ms\n", what, samples.size(), samples.front(),
                at(0.5), at(0.99), samples.back());
}

void measure_start_to_shown(const std::wstring& setup) {
    std::vector<double> samples;
    for (int run = 0; run < STARTS; ++run) {
        const double start = now_ms();
        auto process = ChildProcess::start(quoted(setup));
        if (!process) break;
        HWND window = nullptr;
        while ((window = visible_setup_window(process->id())) == nullptr && !process->wait(0) && now_ms() - start < 30000)
            Sleep(1);
        if (window == nullptr) break;
        samples.push_back(now_ms() - start);
        PostMessageW(window, WM_CLOSE, 0, 0);
        process->wait(10000);
    }
    print_figures("process start to window shown", samples);
}

void measure_round_trip_while_waiting(const std::wstring& setup) {
    TempDir temp;
    const std::wstring dir = temp / L"KoraVale";
    auto installer = ChildProcess::start(quoted(setup) + L" /S --dir " + quoted(dir));
    if (!installer || !installer->wait(60000) || installer->exit_code() != 0) {
        std::printf("message round trip: the silent install failed\n");
        return;
    }
    // A player that closes its window but keeps its file: the worker retries until it gives up.
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_EXIT_AFTER_MS", nullptr);
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_HOLD_FILE_MS", L"60000");
    auto player = ChildProcess::start(quoted(dir + L"\\KoraVale.exe"));
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_HOLD_FILE_MS", nullptr);
    if (!player || player->wait_for_window(L"KoraValeMainWindow", WINDOW_TIMEOUT_MS) == nullptr) return;

    auto process = ChildProcess::start(quoted(setup) + L" --dir " + quoted(dir));
    HWND frame = process ? process->wait_for_window(L"KoraValeSetupWnd", WINDOW_TIMEOUT_MS) : nullptr;
    if (frame == nullptr) return;
    click(control(frame, 1010));
    wait_until([&] { return !IsWindowEnabled(control(frame, 1010)); });

    std::vector<double> samples;
    while (!has_dialog(process->id()) && !IsWindowEnabled(control(frame, 1010)) && samples.size() < 100000) {
        const double start = now_ms();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) break;
        samples.push_back(now_ms() - start);
        Sleep(5);
    }
    print_figures("WM_NULL round trip while the worker waits on a locked file", samples);
    if (auto dialog = wait_for_dialog(process->id())) press(dialog->window, IDOK);
    PostMessageW(frame, WM_CLOSE, 0, 0);
    process->wait(10000);
}

// Milliseconds since midnight of a run-log line's local time stamp
// ("2026-12-10 13:16:23.949 ..."); negative when the line has none.
double logged_ms(const std::string& line) {
    int hours = 0, minutes = 0, seconds = 0, millis = 0;
    if (line.size() < 23 || std::sscanf(line.c_str() + 11, "%2d:%2d:%2d.%3d", &hours, &minutes, &seconds, &millis) != 4)
        return -1;
    return ((hours * 60.0 + minutes) * 60.0 + seconds) * 1000.0 + millis;
}

double local_ms_now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return ((now.wHour * 60.0 + now.wMinute) * 60.0 + now.wSecond) * 1000.0 + now.wMilliseconds;
}

// From the last stage's "done:" line to the moment the process has ended:
// the window's teardown, which a deployment tool waits for on every machine.
void measure_passive_end(const std::wstring& setup) {
    TempDir temp;
    const std::wstring log = temp / L"passive.log";
    std::vector<double> samples;
    for (int run = 0; run < STARTS; ++run) {
        DeleteFileW(log.c_str());
        auto process = ChildProcess::start(quoted(setup) + L" --passive --dir " + quoted(temp / L"KoraVale") +
                                           L" --log " + quoted(log));
        if (!process || !process->wait(60000)) break;
        const double ended = local_ms_now();
        const std::string text = read_file(log);
        double last_stage = -1;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = std::min(text.find('\n', at), text.size());
            const std::string line = text.substr(at, end - at);
            if (line.find(" done: ") != std::string::npos) last_stage = logged_ms(line);
            at = end + 1;
        }
        if (last_stage < 0 || process->exit_code() != 0) break;
        samples.push_back(ended - last_stage);
    }
    print_figures("passive install, last stage done to process end", samples);
}

}  // namespace

int main() {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_EXIT_AFTER_MS", L"2000");
    const std::wstring setup = build_file("KORAVALE_SETUP_EXE");
    measure_start_to_shown(setup);
    measure_round_trip_while_waiting(setup);
    measure_passive_end(setup);
    return 0;
}
