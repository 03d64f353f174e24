#pragma once
// Everything one setup window keeps between messages. It hangs off the
// frame's GWLP_USERDATA and is touched only on the window's own thread.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "sequences/uninstall_sequence.h"
#include "system/platform/unique_handle.h"
#include "system/shell/run_log.h"

namespace koravale {

struct SetupWindowState {
    std::string data_dir;  // empty when there is no local application-data folder
    std::optional<std::string> dir_option;
    std::optional<PendingSelfRemoval> pending_self_removal;
    std::optional<std::uint32_t> wait_pid;
    RunLog log;

    UniqueFont body_font;
    UniqueFont heading_font;
    UniqueFont small_font;
    UniqueBrush background_brush;
    UniqueIcon product_icon;

    // Always there (unless creation failed).
    HWND progress_text = nullptr;
    HWND main_action = nullptr;
    HWND cancel = nullptr;
    // Install forms only.
    HWND install_dir = nullptr;
    HWND browse = nullptr;
    HWND disk_status = nullptr;
    HWND desktop_shortcut = nullptr;
    HWND launch_after = nullptr;
    // Uninstall form only.
    HWND purge_data = nullptr;

    bool is_uninstall = false;
    bool busy = false;  // a worker runs: no second operation, no closing
    // ...except while it waits for another setup program: then cancel and
    // closing end the wait, through this event, and the window closes once
    // the worker has answered.
    UniqueKernelHandle cancel_event;
    bool cancellable = false;
    bool cancel_requested = false;
    // Progress only: nothing is asked or confirmed, and the window closes by itself.
    bool passive = false;
    // What the process reports: a passive run its outcome, a window run always 0.
    std::uint32_t exit_status = 0;
};

}  // namespace koravale
