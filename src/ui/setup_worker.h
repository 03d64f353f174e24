#pragma once
// The one thread that runs an install or an uninstall away from the window.
// It owns its job and speaks to the window only through posted messages
// whose heap records pass to the window with the post.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "system/run_log.h"
#include "ui/worker_outcome.h"

namespace koravale {

struct InstallJob {
    std::string directory;  // canonical, accepted by the directory rules
    std::optional<std::uint32_t> wait_pid;
    HWND window = nullptr;
    // None in a passive run: decided as a silent install decides it, once
    // the sequence holds the setup lock; the check box only shows it.
    std::optional<bool> create_desktop_shortcut;
    bool launch_after = false;
    RunLog log;
};

struct UninstallJob {
    std::optional<std::string> directory;  // the --dir option as parsed
    HWND window = nullptr;
    bool purge_personal_data = false;
    RunLog log;
};

// A post that fails is dropped, its record freed here.
void post_progress(HWND window, std::string_view text);
void post_outcome(HWND window, WorkerOutcome outcome);

// Starts a detached thread; false when no thread could be made.
bool start_install_worker(InstallJob job);
bool start_uninstall_worker(UninstallJob job);

}  // namespace koravale
