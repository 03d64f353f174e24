#pragma once
// Driving another process's setup window the way a user would: its
// controls by identifier, clicks, typed text, message boxes, screenshots.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace koravale::window_testing {

inline constexpr DWORD WINDOW_TIMEOUT_MS = 20000;

// Polls until the condition holds or the time is up; true when it held.
bool wait_until(const std::function<bool()>& condition, DWORD milliseconds = WINDOW_TIMEOUT_MS);

HWND control(HWND frame, int id);
// Direct children in creation order.
std::vector<HWND> children(HWND frame);

std::wstring text_of(HWND window);
// Replaces the text as WM_SETTEXT does; an edit box reports the change.
void set_text(HWND window, const std::wstring& text);
// Characters one by one, as the keyboard would deliver them.
void type_text(HWND window, const std::wstring& text);
// Posted: the click may open a modal box, which must not block the driver.
void click(HWND button);
bool is_checked(HWND check_box);
SIZE client_size(HWND window);

struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
};
// A dialog window ("#32770") of the process; none within the time.
std::optional<MessageBoxSeen> wait_for_dialog(DWORD process_id, DWORD milliseconds = WINDOW_TIMEOUT_MS);
bool has_dialog(DWORD process_id);
void press(HWND dialog, int button_id);

// A real key press through the X server (xdotool names: "Return", "Escape",
// "alt+F4"), with the pointer over the window so that Wine receives it; Wine
// hands it to whichever window has the keyboard focus. True once it is sent.
bool press_key(HWND window, const char* key);
// The control of the window's thread that has the keyboard focus.
HWND focused_control(HWND frame);

// The window's client area as it is on screen, as a 24-bit BMP file.
bool save_screenshot(HWND window, const std::wstring& bmp_path);
// How many bands of text rows the control shows on screen, separated by
// empty rows: 1 for one line, 2 for a wrapped line even when the second is
// cut off at the control's bottom edge.
int drawn_text_lines(HWND control);
// How wide the control's text is drawn, from its leftmost to its rightmost
// column of ink, once the control has painted its current text; 0 for none.
int drawn_text_width(HWND control);

}  // namespace koravale::window_testing
