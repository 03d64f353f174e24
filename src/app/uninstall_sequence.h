#pragma once
// The ordered steps that remove the player. Only finding the installation
// can fail; every removal that does not succeed is skipped.

#include <optional>
#include <string>

#include "app/install_layout.h"
#include "app/progress_reporter.h"
#include "app/setup_options.h"
#include "common/result.h"
#include "system/run_log.h"

namespace koravale {

// The uninstaller cannot delete itself while it runs: these two are
// removed after the process has ended.
struct PendingSelfRemoval {
    std::string uninstaller;
    std::string install_dir;

    bool operator==(const PendingSelfRemoval&) const = default;
};

struct UninstallRequest {
    std::optional<std::string> directory;  // the --dir option as parsed
    bool purge_data = false;
};

using UninstallOutcome = std::optional<PendingSelfRemoval>;

Result<UninstallOutcome> run_uninstall_sequence(const UninstallRequest& request,
                                                const ProgressReporter& progress = {}, const RunLog& log = {});

// The option's directory, else the running uninstaller's own, else the
// registered location, else the default. No directory rule applies.
Result<InstallLayout> resolve_uninstall_layout(const std::optional<std::string>& directory);

// Starts a pending self-removal at once.
Status run_silent_uninstall(const SetupOptions& options, const RunLog& log = {});

// Hands the uninstaller and its folder to the self-removal and logs how that went.
void start_self_removal(const PendingSelfRemoval& removal, const RunLog& log);

}  // namespace koravale
