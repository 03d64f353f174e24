#pragma once
// The ordered steps that remove the player. Only finding the installation
// can fail; every removal that does not succeed is skipped.

#include <optional>
#include <string>

#include "common/result.h"
#include "product/installation/install_layout.h"
#include "product/options/setup_options.h"
#include "sequences/progress_reporter.h"
#include "sequences/self_removal_hand_over.h"
#include "sequences/setup_lock_wait.h"
#include "system/shell/run_log.h"

namespace koravale {

struct UninstallRequest {
    std::optional<std::string> directory;  // the --dir option as parsed
    bool purge_data = false;
    // A window run's: the wait for another setup program may be ended.
    WaitCancellation* cancellation = nullptr;
};

using UninstallOutcome = std::optional<PendingSelfRemoval>;

Result<UninstallOutcome> run_uninstall_sequence(const UninstallRequest& request,
                                                const ProgressReporter& progress = {}, const RunLog& log = {});

// The option's directory, else the running uninstaller's own, else the
// registered location, else the default. No directory rule applies.
Result<InstallLayout> resolve_uninstall_layout(const std::optional<std::string>& directory);

// Hands a pending self-removal to the shell at once.
Status run_silent_uninstall(const SetupOptions& options, const RunLog& log = {});

}  // namespace koravale
