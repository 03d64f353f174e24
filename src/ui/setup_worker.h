#pragma once
// The one thread that runs an install or an uninstall away from the window.
// It owns its job and speaks to the window only through posted messages
// whose heap records pass to the window with the post.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "product/run_log/run_log_events.h"
#include "system/platform/unique_handle.h"
#include "system/shell/run_log.h"
#include "ui/worker_outcome.h"

namespace koravale {

struct InstallJob {
    // Canonical, accepted by the directory rules. None in a passive run
    // without --dir: decided as a silent install decides it, under the lock.
    std::optional<std::string> directory;
    std::optional<std::uint32_t> wait_pid;
    HWND window = nullptr;
    // None in a passive run: decided as a silent install decides it, once
    // the sequence holds the setup lock; the check box only shows it.
    std::optional<bool> create_desktop_shortcut;
    bool launch_after = false;
    std::optional<ChosenBy> chooser;  // a passive run: its choices are logged under the lock
    RunLog log;
    // Set by the window: ends a wait for another setup program. None: the wait cannot be cancelled.
    UniqueKernelHandle cancel_event;
};

struct UninstallJob {
    std::optional<std::string> directory;  // the --dir option as parsed
    HWND window = nullptr;
    bool purge_personal_data = false;
    RunLog log;
    UniqueKernelHandle cancel_event;  // as for an install
};

// A post that fails is dropped, its record freed here.
void post_progress(HWND window, std::string_view text);
void post_outcome(HWND window, WorkerOutcome outcome);

// Starts a detached thread; false when no thread could be made.
bool start_install_worker(InstallJob job);
bool start_uninstall_worker(UninstallJob job);

}  // namespace koravale
