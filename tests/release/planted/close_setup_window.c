// Starts the setup program, waits for its window, closes it and reports
// the program's exit status as its own. A program that shows no window
// (one that fails at start) is waited for; one that will not close is
// ended by force and reported as 100.
//   close_setup_window.exe "COMMAND LINE"

#include <windows.h>

#include <stdio.h>

static DWORD target_process;
static HWND found_window;

static BOOL CALLBACK find_setup_window(HWND window, LPARAM unused) {
    (void)unused;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t class_name[64];
    if (owner == target_process && IsWindowVisible(window) &&
        GetClassNameW(window, class_name, 64) && lstrcmpW(class_name, L"KoraValeSetupWnd") == 0) {
        found_window = window;
        return FALSE;
    }
    return TRUE;
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started;
    if (!CreateProcessW(NULL, argv[1], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &started)) return 3;
    CloseHandle(started.hThread);
    target_process = started.dwProcessId;

    for (int poll = 0; poll < 300 && !found_window; ++poll) {
        if (WaitForSingleObject(started.hProcess, 100) == WAIT_OBJECT_0) break;
        EnumWindows(find_setup_window, 0);
    }
    printf("setup window %s\n", found_window ? "appeared and was closed" : "did not appear");
    if (found_window) PostMessageW(found_window, WM_CLOSE, 0, 0);

    DWORD status = 100;
    if (WaitForSingleObject(started.hProcess, 15000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(started.hProcess, &status);
    } else {
        TerminateProcess(started.hProcess, 100);
    }
    CloseHandle(started.hProcess);
    fflush(stdout);
    return (int)status;
}
