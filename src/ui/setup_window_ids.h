#pragma once
// The window's class, its controls' identifiers and its private messages:
// the names by which the procedure, the worker and the tests find things.

#include <windows.h>

namespace koravale {

inline constexpr wchar_t SETUP_WINDOW_CLASS[] = L"KoraValeSetupWnd";

inline constexpr int IDC_DESKTOP_SHORTCUT = 1001;
inline constexpr int IDC_LAUNCH_AFTER = 1002;
inline constexpr int IDC_PURGE_DATA = 1003;
inline constexpr int IDC_INSTALL_DIR = 1004;
inline constexpr int IDC_BROWSE = 1005;
inline constexpr int IDC_DISK_STATUS = 1006;
inline constexpr int IDC_MAIN_ACTION = 1010;
inline constexpr int IDC_CANCEL = 1011;
inline constexpr int IDC_PROGRESS_TEXT = 1020;

// lParam owns a heap std::string: one step text, UTF-8.
inline constexpr UINT WM_SETUP_PROGRESS = WM_APP + 1;
// lParam owns a heap WorkerOutcome; always the worker's last post.
inline constexpr UINT WM_SETUP_DONE = WM_APP + 2;
// wParam 1: the worker waits for another setup program, and the wait may be
// cancelled; 0: it waits no more.
inline constexpr UINT WM_SETUP_CANCELLABLE = WM_APP + 3;

}  // namespace koravale
