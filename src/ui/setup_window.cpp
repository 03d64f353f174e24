#include "ui/setup_window.h"

#include <memory>

#include "product/identity/product_constants.h"
#include "product/run_log/run_log_events.h"
#include "product/window/setup_window_layout.h"
#include "product/window/setup_window_texts.h"
#include "sequences/install_sequence.h"
#include "sequences/uninstall_sequence.h"
#include "system/files/file_identity.h"
#include "system/platform/wide_string.h"
#include "system/processes/dpi_functions.h"
#include "system/shell/install_paths.h"
#include "system/shell/known_folders.h"
#include "system/shell/uninstall_registration.h"
#include "ui/control_text.h"
#include "ui/setup_window_ids.h"
#include "ui/setup_window_procedure.h"
#include "ui/setup_window_state.h"

namespace koravale {
namespace {

constexpr DWORD FRAME_STYLE = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD LABEL_STYLE = WS_CHILD | WS_VISIBLE;
// One line each, never a second one cut in half: a long path loses its middle,
// a long message its end (the message box shows all of it). Both show paths,
// where an "&" is a character, not an accelerator mark.
constexpr DWORD PATH_LINE_STYLE = LABEL_STYLE | SS_PATHELLIPSIS | SS_NOPREFIX;
constexpr DWORD MESSAGE_LINE_STYLE = LABEL_STYLE | SS_ENDELLIPSIS | SS_NOPREFIX;
constexpr DWORD ICON_STYLE = WS_CHILD | WS_VISIBLE | SS_ICON | SS_REALSIZECONTROL;
constexpr DWORD EDIT_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD PUSH_BUTTON_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD DEFAULT_BUTTON_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD CHECK_BOX_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr int ICON_RESOURCE = 1;

struct ChildSpec {
    const wchar_t* window_class;
    int id;
    std::string_view text;
    DWORD style;
    DWORD extended_style;
    ControlRect rect;
    HFONT font;  // none for the icon
};

HWND create_child(HWND frame, HINSTANCE instance, const ChildSpec& control) {
    const HWND child = CreateWindowExW(control.extended_style, control.window_class, to_wide(control.text).c_str(), control.style,
                                       control.rect.x, control.rect.y, control.rect.width, control.rect.height, frame,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    if (child != nullptr && control.font != nullptr) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(control.font), TRUE);
    return child;
}

HWND create_label(HWND frame, HINSTANCE instance, int id, std::string_view text, const ControlRect& rect, HFONT font,
                  DWORD style = LABEL_STYLE) {
    return create_child(frame, instance, {L"STATIC", id, text, style, 0, rect, font});
}

void set_checked(HWND check_box, bool checked) {
    if (check_box != nullptr) SendMessageW(check_box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void size_and_centre(HWND frame, const SetupWindowLayout& layout) {
    RECT outer{0, 0, layout.client_width, layout.client_height};
    AdjustWindowRect(&outer, FRAME_STYLE, FALSE);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(frame, nullptr, x, y, width, height, SWP_NOZORDER);
}

std::string data_dir_of_user() {
    const Result<std::string> local_app_data = local_app_data_dir();
    return local_app_data ? join_path(*local_app_data, PRODUCT_NAME) : std::string();
}

std::optional<std::string> default_dir_of_user() {
    const Result<std::string> dir = default_install_dir();
    return dir ? std::optional<std::string>(*dir) : std::nullopt;
}

std::optional<std::string> uninstall_dir_for(const std::optional<std::string>& dir_option) {
    const Result<InstallLayout> layout = resolve_uninstall_layout(dir_option);
    return layout ? std::optional<std::string>(layout->install_dir) : std::nullopt;
}

void build_install_rows(HWND frame, HINSTANCE instance, const SetupWindowLayout& layout, SetupWindowState& state,
                        const std::string& initial_dir) {
    const HFONT body = state.body_font.get();
    create_label(frame, instance, 0, LOCATION_CAPTION_TEXT, layout.location_caption, body);
    state.install_dir = create_child(frame, instance,
                                     {L"EDIT", IDC_INSTALL_DIR, initial_dir, EDIT_STYLE, WS_EX_CLIENTEDGE, layout.install_dir, body});
    state.browse = create_child(frame, instance, {L"BUTTON", IDC_BROWSE, BROWSE_TEXT, PUSH_BUTTON_STYLE, 0, layout.browse, body});
    state.disk_status = create_label(frame, instance, IDC_DISK_STATUS, "", layout.disk_status, state.small_font.get());
    state.desktop_shortcut = create_child(
        frame, instance, {L"BUTTON", IDC_DESKTOP_SHORTCUT, DESKTOP_SHORTCUT_TEXT, CHECK_BOX_STYLE, 0, layout.desktop_shortcut, body});
    state.launch_after = create_child(
        frame, instance, {L"BUTTON", IDC_LAUNCH_AFTER, LAUNCH_AFTER_TEXT, CHECK_BOX_STYLE, 0, layout.launch_after, body});
}

void build_uninstall_rows(HWND frame, HINSTANCE instance, const SetupWindowLayout& layout, SetupWindowState& state,
                          const std::string& location_text) {
    create_label(frame, instance, 0, location_text, layout.uninstall_location, state.small_font.get(), PATH_LINE_STYLE);
    state.purge_data = create_child(
        frame, instance, {L"BUTTON", IDC_PURGE_DATA, PURGE_DATA_TEXT, CHECK_BOX_STYLE, 0, layout.purge_data, state.body_font.get()});
    create_label(frame, instance, 0, PURGE_HINT_TEXT, layout.purge_hint, state.small_font.get());
}

void run_message_loop(HWND frame) {
    MSG message;
    // -1 is an error, not a message: looping on it would spin for ever.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(frame, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

UniqueFont make_ui_font(int points, bool bold, int dpi) {
    return UniqueFont(CreateFontW(font_height(points, dpi), 0, 0, 0, bold ? 600 : FW_NORMAL, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, 0,
                                  L"Microsoft YaHei UI"));
}

std::uint32_t run_setup_window(SetupMode mode, const std::optional<std::string>& installed_version,
                               const SetupOptions& options, const RunLog& log) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const bool is_uninstall = mode == SetupMode::Uninstall;
    const SetupWindowTexts texts = setup_window_texts(mode, installed_version);
    auto state = std::make_unique<SetupWindowState>();
    state->background_brush = UniqueBrush(CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF)));

    const HICON class_icon = LoadIconW(instance, MAKEINTRESOURCEW(ICON_RESOURCE));
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = handle_setup_message;
    window_class.hInstance = instance;
    window_class.hIcon = class_icon;
    window_class.hIconSm = class_icon;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = state->background_brush.get();
    window_class.lpszClassName = SETUP_WINDOW_CLASS;
    RegisterClassExW(&window_class);

    const HWND frame = CreateWindowExW(0, SETUP_WINDOW_CLASS, to_wide(texts.title).c_str(), FRAME_STYLE, CW_USEDEFAULT,
                                       CW_USEDEFAULT, 500, 360, nullptr, nullptr, instance, nullptr);
    if (frame == nullptr) return 1;

    const int dpi = effective_dpi(static_cast<int>(window_dpi(frame)));
    const SetupWindowLayout layout(dpi, is_uninstall ? SetupForm::Uninstall : SetupForm::Install);
    size_and_centre(frame, layout);

    state->heading_font = make_ui_font(15, true, dpi);
    state->body_font = make_ui_font(10, false, dpi);
    state->small_font = make_ui_font(9, false, dpi);

    const HWND icon = create_child(frame, instance, {L"STATIC", 0, "", ICON_STYLE, 0, layout.product_icon, nullptr});
    state->product_icon = UniqueIcon(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(ICON_RESOURCE), IMAGE_ICON, layout.product_icon.width, layout.product_icon.height, 0)));
    if (icon != nullptr && state->product_icon) {
        SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(state->product_icon.get()), 0);
    }

    create_label(frame, instance, 0, texts.heading, layout.heading, state->heading_font.get());
    create_label(frame, instance, 0, texts.description, layout.description, state->small_font.get());
    if (is_uninstall) {
        build_uninstall_rows(frame, instance, layout, *state, uninstall_location_text(uninstall_dir_for(options.dir)));
    } else {
        const std::string initial_dir =
            initial_install_dir(options.dir, read_installed_product().install_location, default_dir_of_user());
        build_install_rows(frame, instance, layout, *state, initial_dir);
    }
    state->progress_text =
        create_label(frame, instance, IDC_PROGRESS_TEXT, "", layout.progress_text, state->small_font.get(), MESSAGE_LINE_STYLE);
    state->cancel = create_child(frame, instance,
                                 {L"BUTTON", IDC_CANCEL, CANCEL_TEXT, PUSH_BUTTON_STYLE, 0, layout.cancel, state->body_font.get()});
    state->main_action = create_child(
        frame, instance, {L"BUTTON", IDC_MAIN_ACTION, texts.main_action, DEFAULT_BUTTON_STYLE, 0, layout.main_action, state->body_font.get()});
    for (HWND check_box : {state->desktop_shortcut, state->launch_after}) {
        if (check_box != nullptr) SendMessageW(check_box, BM_SETCHECK, BST_CHECKED, 0);
    }
    // A passive run makes a silent run's choices, and shows them.
    if (options.passive) {
        set_checked(state->desktop_shortcut, !is_uninstall && silent_desktop_shortcut_wanted());
        set_checked(state->launch_after, options.relaunch);
        set_checked(state->purge_data, options.purge_data);
    }

    state->data_dir = data_dir_of_user();
    state->dir_option = options.dir;
    state->wait_pid = options.wait_pid;
    state->log = log;
    state->is_uninstall = is_uninstall;
    state->passive = options.passive;
    SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.get()));

    if (!is_uninstall) refresh_disk_status(*state);
    if (state->passive) set_controls_enabled(*state, false);
    ShowWindow(frame, SW_SHOW);
    UpdateWindow(frame);
    if (state->passive) {
        begin_passive_run(*state, frame);
    } else if (const HWND first = GetNextDlgTabItem(frame, nullptr, FALSE)) {
        // As in a dialog, typing and Enter start in the first control, not in the frame.
        SetFocus(first);
    }
    run_message_loop(frame);
    if (IsWindow(frame)) {  // a stray WM_QUIT ended the loop: the state must not outlive its window's use
        SetWindowLongPtrW(frame, GWLP_USERDATA, 0);
        DestroyWindow(frame);
    }

    // The window is gone; nothing may paint with these any more. The class
    // stays registered until the process ends: unregistering it would
    // delete its background brush a second time.
    state->body_font.reset();
    state->heading_font.reset();
    state->small_font.reset();
    state->background_brush.reset();
    state->product_icon.reset();
    // An install may have run while the final message was open: the
    // hand-over gives the shell only what is still this program's own file.
    if (const std::optional<PendingSelfRemoval> removal = std::move(state->pending_self_removal)) {
        hand_over_self_removal(*removal, log);
    }
    return state->exit_status;
}

}  // namespace koravale
