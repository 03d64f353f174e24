#pragma once
// The ordered steps that install, upgrade or reinstall the player, run
// silently on the main thread or by the window's worker.

#include <cstdint>
#include <optional>
#include <string>

#include "common/result.h"
#include "product/installation/install_layout.h"
#include "product/options/setup_options.h"
#include "product/run_log/run_log_events.h"
#include "sequences/progress_reporter.h"
#include "sequences/setup_lock_wait.h"
#include "system/shell/run_log.h"

namespace koravale {

struct InstallRequest {
    std::optional<std::string> directory;  // typed, confirmed or from --dir
    // None: as a silent install decides it, from the installation it finds.
    std::optional<bool> desktop_shortcut_wanted;
    bool launch_after = false;
    std::optional<std::uint32_t> wait_pid;
    // A passive run: the folder and the shortcut are chosen here, under the
    // lock, and logged as its choice.
    std::optional<ChosenBy> chooser;
    // A window run's: the wait for another setup program may be ended.
    WaitCancellation* cancellation = nullptr;
};

// The first failure ends the run; nothing done before it is undone.
Status run_install_sequence(const InstallRequest& request, const ProgressReporter& progress = {},
                            const RunLog& log = {});

// The given directory (trimmed), else the registered location, else the
// default; refused when it breaks a directory rule.
Result<InstallLayout> resolve_install_layout(const std::optional<std::string>& directory);

// What an install that asks nobody decides about the desktop shortcut.
bool silent_desktop_shortcut_wanted();

Status run_silent_install(const SetupOptions& options, const RunLog& log = {});

}  // namespace koravale
