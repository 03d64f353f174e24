#include "support/window_driver.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/test_support.h"

namespace koravale::window_testing {
namespace {

constexpr UINT SEND_TIMEOUT_MS = 5000;
constexpr int MESSAGE_BOX_TEXT_ID = 0xFFFF;
constexpr DWORD KEY_TIMEOUT_MS = 10000;

LRESULT send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &result);
    return static_cast<LRESULT>(result);
}

std::wstring class_of(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

HWND find_dialog(DWORD process_id) {
    struct Search {
        DWORD process_id;
        HWND found;
    } search{process_id, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->process_id && IsWindowVisible(window) && class_of(window) == L"#32770") {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct ScreenPixels {
    int width = 0;
    int height = 0;
    int row_bytes = 0;
    std::string bgr;  // bottom-up rows, as in a BMP file

    // Dark enough to be part of a glyph: the labels' text is 0x222222 or 0x666666 on white.
    bool is_ink(int x, int y) const {
        const auto* pixel = reinterpret_cast<const unsigned char*>(bgr.data()) + (height - 1 - y) * row_bytes + x * 3;
        return pixel[0] + pixel[1] + pixel[2] < 3 * 0xB0;
    }
};

BITMAPINFOHEADER bitmap_header(int width, int height) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    return header;
}

// The client area only: without a window manager nobody draws the frame.
std::optional<ScreenPixels> capture_client(HWND window) {
    RECT rect{};
    if (!GetClientRect(window, &rect)) return std::nullopt;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    ScreenPixels shot;
    shot.width = rect.right - rect.left;
    shot.height = rect.bottom - rect.top;
    shot.row_bytes = (shot.width * 3 + 3) & ~3;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, shot.width, shot.height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFOHEADER header = bitmap_header(shot.width, shot.height);
    shot.bgr.assign(static_cast<std::size_t>(shot.row_bytes) * shot.height, '\0');
    const int lines = GetDIBits(memory, bitmap, 0, shot.height, shot.bgr.data(), reinterpret_cast<BITMAPINFO*>(&header),
                                DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (lines != shot.height) return std::nullopt;
    return shot;
}

}  // namespace

bool wait_until(const std::function<bool()>& condition, DWORD milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
}

HWND control(HWND frame, int id) { return GetDlgItem(frame, id); }

std::vector<HWND> children(HWND frame) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(frame, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        found.push_back(child);
    return found;
}

std::wstring text_of(HWND window) {
    // Room to spare: the text may grow between the two questions.
    const LRESULT length = send(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1024, L'\0');
    const LRESULT copied = send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

void set_text(HWND window, const std::wstring& text) { send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }

void type_text(HWND window, const std::wstring& text) {
    for (wchar_t c : text) send(window, WM_CHAR, c, 1);
}

void click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

bool is_checked(HWND check_box) { return send(check_box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

SIZE client_size(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

std::optional<MessageBoxSeen> wait_for_dialog(DWORD process_id, DWORD milliseconds) {
    HWND dialog = nullptr;
    if (!wait_until([&] { return (dialog = find_dialog(process_id)) != nullptr; }, milliseconds)) return std::nullopt;
    MessageBoxSeen seen{dialog, text_of(dialog), {}};
    if (HWND text = GetDlgItem(dialog, MESSAGE_BOX_TEXT_ID)) seen.text = text_of(text);
    return seen;
}

bool has_dialog(DWORD process_id) { return find_dialog(process_id) != nullptr; }

void press(HWND dialog, int button_id) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED), 0); }

bool press_key(HWND window, const char* key) {
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return false;
    const int x = (rect.left + rect.right) / 2;
    const int y = (rect.top + rect.bottom) / 2;
    std::wstring command = L"xdotool mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y) + L" key ";
    for (const char* c = key; *c != '\0'; ++c) command += static_cast<wchar_t>(*c);
    return testing_support::run_unix_shell(command, KEY_TIMEOUT_MS);
}

HWND focused_control(HWND frame) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(frame, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool save_screenshot(HWND window, const std::wstring& bmp_path) {
    // What a closed message box covered is painted anew only later: paint it now.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const std::optional<ScreenPixels> shot = capture_client(window);
    if (!shot) return false;
    BITMAPINFOHEADER header = bitmap_header(shot->width, shot->height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(shot->bgr.size());
    std::ofstream out(std::filesystem::path(bmp_path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(shot->bgr.data(), static_cast<std::streamsize>(shot->bgr.size()));
    return static_cast<bool>(out);
}

int drawn_text_width(HWND control) {
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const std::optional<ScreenPixels> shot = capture_client(control);
    if (!shot) return 0;
    int left = shot->width;
    int right = -1;
    for (int y = 0; y < shot->height; ++y) {
        for (int x = 0; x < shot->width; ++x) {
            if (!shot->is_ink(x, y)) continue;
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    return right < left ? 0 : right - left + 1;
}

int drawn_text_lines(HWND control) {
    const std::optional<ScreenPixels> shot = capture_client(control);
    if (!shot) return 0;
    int bands = 0;
    bool previous_row_inked = false;
    for (int y = 0; y < shot->height; ++y) {
        bool inked = false;
        for (int x = 0; x < shot->width && !inked; ++x) inked = shot->is_ink(x, y);
        if (inked && !previous_row_inked) ++bands;
        previous_row_inked = inked;
    }
    return bands;
}

}  // namespace koravale::window_testing
