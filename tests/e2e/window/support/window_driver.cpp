#include "support/window_driver.h"

#include <filesystem>
#include <fstream>

namespace koravale::window_testing {
namespace {

constexpr UINT SEND_TIMEOUT_MS = 5000;
constexpr int MESSAGE_BOX_TEXT_ID = 0xFFFF;

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

bool save_screenshot(HWND window, const std::wstring& bmp_path) {
    // The client area only: without a window manager nobody draws the frame.
    RECT rect{};
    if (!GetClientRect(window, &rect)) return false;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD row = static_cast<DWORD>((width * 3 + 3) & ~3);
    std::string pixels(static_cast<std::size_t>(row) * height, '\0');
    const int lines = GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (lines != height) return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(std::filesystem::path(bmp_path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

}  // namespace koravale::window_testing
