// A stand-in for the KoraVale player: one top-level window of the player's
// class that quits on WM_CLOSE, so that closing, locking and launching can
// be exercised for real. Test switches, from the command line or, because
// the setup program starts the player with its path alone, the environment:
//   --ignore-close            KORAVALE_SAMPLE_IGNORE_CLOSE=1    WM_CLOSE does nothing
//   --hold-file-ms N          KORAVALE_SAMPLE_HOLD_FILE_MS=N    keep KoraVale.exe open without
//                                                              delete sharing for N ms from the
//                                                              start, living on after the window
//                                                              has closed: a slow shutdown
//   --record-command-line F   KORAVALE_SAMPLE_RECORD=F          write the command line (UTF-8) to F
//   --exit-after-ms N         KORAVALE_SAMPLE_EXIT_AFTER_MS=N   quit by itself after N ms
//   --close-log F             KORAVALE_SAMPLE_CLOSE_LOG=F       append a line to F for every WM_CLOSE

#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <optional>
#include <string>

namespace {

constexpr wchar_t WINDOW_CLASS[] = L"KoraValeMainWindow";
constexpr UINT_PTR EXIT_TIMER = 1;

struct Switches {
    bool ignore_close = false;
    std::optional<UINT> hold_file_ms;
    std::wstring record_path;
    std::optional<UINT> exit_after_ms;
    std::wstring close_log_path;
};

struct State {
    Switches switches;
};

std::wstring environment(const wchar_t* name) {
    wchar_t value[1024];
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

std::optional<UINT> milliseconds(const std::wstring& text) {
    if (text.empty()) return std::nullopt;
    wchar_t* end = nullptr;
    const unsigned long value = std::wcstoul(text.c_str(), &end, 10);
    if (*end != L'\0') return std::nullopt;
    return static_cast<UINT>(value);
}

Switches read_switches() {
    Switches s;
    s.ignore_close = environment(L"KORAVALE_SAMPLE_IGNORE_CLOSE") == L"1";
    s.hold_file_ms = milliseconds(environment(L"KORAVALE_SAMPLE_HOLD_FILE_MS"));
    s.record_path = environment(L"KORAVALE_SAMPLE_RECORD");
    s.exit_after_ms = milliseconds(environment(L"KORAVALE_SAMPLE_EXIT_AFTER_MS"));
    s.close_log_path = environment(L"KORAVALE_SAMPLE_CLOSE_LOG");

    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; args != nullptr && i < count; ++i) {
        const std::wstring arg = args[i];
        const bool has_value = i + 1 < count;
        if (arg == L"--ignore-close") {
            s.ignore_close = true;
        } else if (arg == L"--hold-file-ms" && has_value) {
            s.hold_file_ms = milliseconds(args[++i]);
        } else if (arg == L"--record-command-line" && has_value) {
            s.record_path = args[++i];
        } else if (arg == L"--exit-after-ms" && has_value) {
            s.exit_after_ms = milliseconds(args[++i]);
        } else if (arg == L"--close-log" && has_value) {
            s.close_log_path = args[++i];
        }
    }
    LocalFree(args);
    return s;
}

void record_command_line(const std::wstring& path) {
    const wchar_t* line = GetCommandLineW();
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? bytes - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8.data(), bytes, nullptr, nullptr);
    // Written under a temporary name and moved, so a reader never sees half of it.
    const std::wstring partial = path + L".partial";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// One line per message, so a reader counts lines.
void log_close(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, "WM_CLOSE\n", 9, &written, nullptr);
    CloseHandle(file);
}

HANDLE hold_own_file() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return INVALID_HANDLE_VALUE;
    // Read sharing only: no one may delete, rename or overwrite it meanwhile.
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_TIMER:
            if (wparam == EXIT_TIMER) DestroyWindow(window);
            return 0;
        case WM_CLOSE:
            if (!state->switches.close_log_path.empty()) log_close(state->switches.close_log_path);
            if (state->switches.ignore_close) return 0;
            DestroyWindow(window);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            DrawTextW(dc, L"KoraVale (sample application)", -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    State state{read_switches()};
    if (!state.switches.record_path.empty()) record_command_line(state.switches.record_path);
    const ULONGLONG started = GetTickCount64();
    const HANDLE held_file = state.switches.hold_file_ms ? hold_own_file() : INVALID_HANDLE_VALUE;

    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = window_proc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = WINDOW_CLASS;
    if (!RegisterClassExW(&window_class)) return 2;

    HWND window = CreateWindowExW(0, WINDOW_CLASS, L"KoraVale", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  480, 270, nullptr, nullptr, instance, &state);
    if (window == nullptr) return 3;
    if (state.switches.exit_after_ms) SetTimer(window, EXIT_TIMER, *state.switches.exit_after_ms, nullptr);
    ShowWindow(window, show);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (held_file != INVALID_HANDLE_VALUE) {
        const ULONGLONG held_for = GetTickCount64() - started;
        if (held_for < *state.switches.hold_file_ms) Sleep(static_cast<DWORD>(*state.switches.hold_file_ms - held_for));
        CloseHandle(held_file);
    }
    return 0;
}
