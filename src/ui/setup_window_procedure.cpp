#include "ui/setup_window_procedure.h"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

#include "checks/install_dir_rules.h"
#include "product/run_log/run_log_events.h"
#include "product/window/setup_window_texts.h"
#include "system/platform/wide_string.h"
#include "texts/window_texts.h"
#include "ui/control_text.h"
#include "ui/folder_picker.h"
#include "ui/setup_window_ids.h"
#include "ui/setup_window_state.h"
#include "ui/setup_worker.h"

namespace koravale {
namespace {

constexpr COLORREF BACKGROUND_COLOUR = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF TEXT_COLOUR = RGB(0x22, 0x22, 0x22);
constexpr COLORREF STATUS_COLOUR = RGB(0x66, 0x66, 0x66);


constexpr UINT_PTR PASSIVE_CLOSE_TIMER = 1;
// Long enough to be read by someone who happens to look, short enough for a deployment.
constexpr UINT PASSIVE_FAILURE_SHOWN_MS = 3000;
constexpr std::uint32_t PASSIVE_FAILURE_STATUS = 1;

ChosenBy chooser_of(const SetupWindowState& state) { return state.passive ? ChosenBy::PassiveRun : ChosenBy::MainButton; }

SetupWindowState* state_of(HWND window) {
    return reinterpret_cast<SetupWindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// A message box hands the focus back to the frame, not to the control the
// user was in: give it back, so that typing and Enter go on where they were.
void show_message(HWND owner, std::string_view caption, std::string_view text, UINT icon) {
    const HWND focus = GetFocus();
    MessageBoxW(owner, to_wide(text).c_str(), to_wide(caption).c_str(), MB_OK | icon);
    if (focus != nullptr && IsWindow(focus) && IsWindowEnabled(focus)) SetFocus(focus);
}

// Nobody may be there to answer a message box: the text stays in the
// progress line for a while, then the window closes and the exit status
// tells the caller. Busy until then, so that nothing closes it early.
void fail_passively(SetupWindowState& state, HWND window, const std::string& message) {
    state.busy = true;
    state.exit_status = PASSIVE_FAILURE_STATUS;
    set_control_text(state.progress_text, message);
    if (SetTimer(window, PASSIVE_CLOSE_TIMER, PASSIVE_FAILURE_SHOWN_MS, nullptr) == 0) {
        state.busy = false;
        DestroyWindow(window);
    }
}

void close_after_passive_failure(SetupWindowState& state, HWND window) {
    KillTimer(window, PASSIVE_CLOSE_TIMER);
    state.busy = false;
    DestroyWindow(window);
}

// A control disabled with the focus in it strands the focus: Esc and Enter
// would reach no handler. It goes to Cancel while Cancel ends a wait, else
// to the frame, where Esc and Enter still mean its two buttons.
void move_focus_from_disabled(const SetupWindowState& state, HWND window) {
    const bool cancel_usable = state.busy && state.cancellable && !state.cancel_requested;
    SetFocus(cancel_usable ? state.cancel : window);
}

void show_failure(SetupWindowState& state, HWND window, const std::string& message) {
    if (state.passive) {
        fail_passively(state, window, message);
        return;
    }
    set_controls_enabled(state, true);
    SetFocus(state.main_action);  // the message box gives it back there: a second try is one Enter away
    set_control_text(state.progress_text, message);
    show_message(window, FAILED_CAPTION_TEXT, message, MB_ICONERROR);
}

void begin_operation(SetupWindowState& state, HWND window) {
    state.busy = true;
    state.cancellable = false;
    state.cancel_requested = false;
    move_focus_from_disabled(state, window);
    set_controls_enabled(state, false);
}

// A passive run has nobody to cancel it; a window run's worker gets its own
// handle of the window's event, reset for each operation.
UniqueKernelHandle cancel_event_for_worker(SetupWindowState& state) {
    if (state.passive) return {};
    if (!state.cancel_event) state.cancel_event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!state.cancel_event) return {};
    ResetEvent(state.cancel_event.get());
    UniqueKernelHandle copy;
    DuplicateHandle(GetCurrentProcess(), state.cancel_event.get(), GetCurrentProcess(), copy.put(), 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    return copy;
}

// The worker ends its wait and answers with its outcome; the window closes then.
void request_cancel(SetupWindowState& state, HWND window) {
    SetEvent(state.cancel_event.get());
    state.cancel_requested = true;
    state.cancellable = false;
    move_focus_from_disabled(state, window);
    EnableWindow(state.cancel, FALSE);
}

void on_cancellable(SetupWindowState& state, HWND window, bool cancellable) {
    if (!state.busy || state.passive || state.cancel_requested || !state.cancel_event) return;
    state.cancellable = cancellable;
    if (cancellable) EnableWindow(state.cancel, TRUE);
    move_focus_from_disabled(state, window);
    if (!cancellable) EnableWindow(state.cancel, FALSE);
}

// A worker that could not start leaves nothing running: back to idle.
void abandon_operation(SetupWindowState& state, HWND window) {
    state.busy = false;
    state.log.write(error_event({std::string(NO_WORKER_TEXT)}));
    show_failure(state, window, std::string(NO_WORKER_TEXT));
}

void start_install(SetupWindowState& state, HWND window) {
    // A passive run without --dir takes the folder a silent run would, under the lock.
    if (state.passive && !state.dir_option) {
        begin_operation(state, window);
        InstallJob job{.directory = std::nullopt,
                       .wait_pid = state.wait_pid,
                       .window = window,
                       .create_desktop_shortcut = std::nullopt,
                       .launch_after = is_checked(state.launch_after),
                       .chooser = ChosenBy::PassiveRun,
                       .log = state.log,
                       .cancel_event = {}};
        if (!start_install_worker(std::move(job))) abandon_operation(state, window);
        return;
    }
    const std::string typed = read_edit_text(state.install_dir);
    const Result<std::string> directory = validate_install_dir(typed, state.data_dir);
    if (!directory) {
        state.log.write(install_refused_event(chooser_of(state), typed));
        state.log.write(error_event(directory.error()));
        if (state.passive) {
            fail_passively(state, window, directory.error().message);
            return;
        }
        set_control_text(state.progress_text, directory.error().message);
        show_message(window, INVALID_DIR_CAPTION_TEXT, directory.error().message, MB_ICONERROR);
        return;
    }
    // Not busy yet, so the box's EN_CHANGE refreshes the disk line for the new text.
    if (*directory != typed) set_control_text(state.install_dir, *directory);

    begin_operation(state, window);
    const bool desktop_shortcut = is_checked(state.desktop_shortcut);
    InstallJob job{.directory = *directory,
                   .wait_pid = state.wait_pid,
                   .window = window,
                   .create_desktop_shortcut = state.passive ? std::nullopt : std::optional<bool>(desktop_shortcut),
                   .launch_after = is_checked(state.launch_after),
                   // A passive run's shortcut is chosen, and logged, under the lock.
                   .chooser = state.passive ? std::optional<ChosenBy>(ChosenBy::PassiveRun) : std::nullopt,
                   .log = state.log,
                   .cancel_event = cancel_event_for_worker(state)};
    if (!state.passive) {
        state.log.write(install_chosen_event(ChosenBy::MainButton, *job.directory, desktop_shortcut, job.launch_after));
    }
    if (!start_install_worker(std::move(job))) abandon_operation(state, window);
}

void start_uninstall(SetupWindowState& state, HWND window) {
    begin_operation(state, window);
    UninstallJob job{.directory = state.dir_option,
                     .window = window,
                     .purge_personal_data = is_checked(state.purge_data),
                     .log = state.log,
                     .cancel_event = cancel_event_for_worker(state)};
    state.log.write(uninstall_chosen_event(chooser_of(state), job.purge_personal_data));
    if (!start_uninstall_worker(std::move(job))) abandon_operation(state, window);
}

void complete_operation(SetupWindowState& state, HWND window, std::unique_ptr<WorkerOutcome> outcome) {
    state.busy = false;
    state.cancellable = false;
    // As a cancel before the start: nothing to say, nothing changed.
    if (std::holds_alternative<WorkerOutcome::Cancelled>(outcome->value)) {
        DestroyWindow(window);
        return;
    }
    if (const auto* failed = std::get_if<WorkerOutcome::Failed>(&outcome->value)) {
        show_failure(state, window, failed->message);
        return;
    }
    if (auto* removal = std::get_if<WorkerOutcome::DoneWithSelfRemoval>(&outcome->value)) {
        state.pending_self_removal = std::move(removal->removal);
    } else {
        state.pending_self_removal.reset();
    }
    if (state.is_uninstall && !state.passive) show_message(window, UNINSTALLED_CAPTION_TEXT, UNINSTALLED_TEXT, MB_ICONINFORMATION);
    DestroyWindow(window);
}

// The dialog manager turns Enter into IDOK and Esc into IDCANCEL: they press
// the main and the cancel button, under those buttons' own rules.
int button_of_command(int id) {
    if (id == IDOK) return IDC_MAIN_ACTION;
    if (id == IDCANCEL) return IDC_CANCEL;
    return id;
}

LRESULT on_command(SetupWindowState& state, HWND window, WPARAM wparam, LPARAM lparam) {
    const int id = button_of_command(LOWORD(wparam));
    const int code = HIWORD(wparam);
    if (state.busy && state.cancellable && id == IDC_CANCEL && code == BN_CLICKED) {
        request_cancel(state, window);
        return 0;
    }
    if (!state.busy) {
        if (id == IDC_INSTALL_DIR && code == EN_CHANGE) {
            refresh_disk_status(state);
            return 0;
        }
        if (code == BN_CLICKED) {
            switch (id) {
                case IDC_BROWSE:
                    choose_install_folder(state, window);
                    // The dialog leaves the focus with the frame; the box is where the user goes on.
                    if (state.install_dir != nullptr) SetFocus(state.install_dir);
                    return 0;
                case IDC_CANCEL:
                    DestroyWindow(window);
                    return 0;
                case IDC_MAIN_ACTION:
                    if (state.is_uninstall) {
                        start_uninstall(state, window);
                    } else {
                        start_install(state, window);
                    }
                    return 0;
                default:
                    break;
            }
        }
    }
    return DefWindowProcW(window, WM_COMMAND, wparam, lparam);
}

LRESULT on_control_colour(const SetupWindowState& state, WPARAM wparam, LPARAM lparam) {
    const HDC dc = reinterpret_cast<HDC>(wparam);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, BACKGROUND_COLOUR);
    SetTextColor(dc, reinterpret_cast<HWND>(lparam) == state.disk_status ? STATUS_COLOUR : TEXT_COLOUR);
    return reinterpret_cast<LRESULT>(state.background_brush.get());
}

}  // namespace

void set_controls_enabled(const SetupWindowState& state, bool enabled) {
    EnableWindow(state.main_action, enabled);
    EnableWindow(state.cancel, enabled);
    for (HWND control : {state.install_dir, state.browse, state.desktop_shortcut, state.launch_after, state.purge_data}) {
        if (control != nullptr) EnableWindow(control, enabled);
    }
}

void begin_passive_run(SetupWindowState& state, HWND window) {
    if (state.is_uninstall) {
        start_uninstall(state, window);
    } else {
        start_install(state, window);
    }
}

LRESULT CALLBACK handle_setup_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    SetupWindowState* state = state_of(window);
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_CLOSE:
            if (state == nullptr || !state->busy) {
                DestroyWindow(window);
            } else if (state->cancellable) {
                request_cancel(*state, window);
            }
            return 0;
        case WM_SETUP_CANCELLABLE:
            if (state != nullptr) on_cancellable(*state, window, wparam != 0);
            return 0;
        case WM_COMMAND:
            if (state == nullptr) break;
            return on_command(*state, window, wparam, lparam);
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
            if (state == nullptr) break;
            return on_control_colour(*state, wparam, lparam);
        case WM_SETUP_PROGRESS:
            if (state != nullptr && lparam != 0) {
                const std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(lparam));
                set_control_text(state->progress_text, *text);
            }
            return 0;
        case WM_TIMER:
            if (state == nullptr || wparam != PASSIVE_CLOSE_TIMER) break;
            close_after_passive_failure(*state, window);
            return 0;
        case WM_SETUP_DONE:
            if (state != nullptr && lparam != 0) {
                complete_operation(*state, window, std::unique_ptr<WorkerOutcome>(reinterpret_cast<WorkerOutcome*>(lparam)));
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace koravale
