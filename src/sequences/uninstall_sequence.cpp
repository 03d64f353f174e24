#include "sequences/uninstall_sequence.h"

#include <windows.h>

#include <algorithm>

#include "checks/install_dir_rules.h"
#include "common/windows_path.h"
#include "product/identity/product_constants.h"
#include "product/run_log/run_log_events.h"
#include "sequences/sequence_stages.h"
#include "sequences/setup_lock_wait.h"
#include "system/files/directory_purge.h"
#include "system/files/file_deletion.h"
#include "system/files/file_identity.h"
#include "system/files/file_queries.h"
#include "system/files/program_files.h"
#include "system/platform/retry_with_pauses.h"
#include "system/processes/running_application.h"
#include "system/shell/install_paths.h"
#include "system/shell/shortcuts.h"
#include "system/shell/uninstall_registration.h"
#include "texts/progress_texts.h"

namespace koravale {
namespace {

// Finding the installation and the last step have no progress text of their own.
constexpr std::string_view FINDING_STAGE = "finding the installation";
constexpr std::string_view UNINSTALLER_STAGE = "removing the uninstaller and its folder";

constexpr int APP_DELETE_ATTEMPTS = 20;

// The player may take a moment to let go of its file after it was closed.
Status delete_program_with_retries(const std::string& app_exe) {
    Status deleted = Done{};
    retry_with_pauses(APP_DELETE_ATTEMPTS, POLL_INTERVAL_MS, [&] {
        deleted = path_exists(app_exe) ? delete_file_best_effort(app_exe) : Status(Done{});
        return deleted.ok();
    });
    return deleted;
}

// Nothing registered and none of the program's files in the folder: a run
// that finds this removes what a broken install may have left (shortcuts,
// retired uninstallers, the empty folder) and has nothing else to do.
bool finds_no_installation(const InstallLayout& layout) {
    if (read_installed_product() != InstalledProduct{}) return false;
    return std::ranges::none_of(PROGRAM_FILE_NAMES,
                                [&](std::string_view name) { return path_exists(join_path(layout.install_dir, name)); });
}

void purge_data_if_asked(const UninstallRequest& request, const InstallLayout& layout, SequenceStages& stages,
                         const RunLog& log) {
    if (!request.purge_data || !path_exists(layout.data_dir)) return;
    stages.begin(PURGING_TEXT);
    // The log may lie inside: its lines after this go only where its file is still there.
    stages.log_skipped(log.with_file_closed([&] { return purge_directory_tree(layout.data_dir); }));
}

}  // namespace

Result<InstallLayout> resolve_uninstall_layout(const std::optional<std::string>& directory) {
    if (directory) {
        const std::string canonical = normalize_install_dir(*directory);
        if (!canonical.empty()) return layout_for(canonical);
    }
    if (const std::optional<std::string> own_dir = running_uninstaller_dir()) return layout_for(*own_dir);
    if (const std::optional<std::string> registered = read_installed_product().install_location) {
        return layout_for(*registered);
    }
    const Result<std::string> fallback = default_install_dir();
    if (!fallback) return fallback.error();
    return layout_for(*fallback);
}

Result<UninstallOutcome> run_uninstall_sequence(const UninstallRequest& request, const ProgressReporter& progress,
                                                const RunLog& log) {
    SequenceStages stages(progress, log);
    // Held until the uninstaller has taken its retired name: an install that
    // waits for it then finds the folder as this run leaves it.
    const Result<SetupLock> lock = wait_for_setup_lock(stages, request.cancellation);
    if (!lock) return lock.error();
    stages.begin_unshown(FINDING_STAGE);
    const Result<InstallLayout> resolved = resolve_uninstall_layout(request.directory);
    if (!resolved) return stages.fail(resolved.error());
    const InstallLayout& layout = *resolved;
    if (finds_no_installation(layout)) {
        stages.log_event(no_installation_event(layout.install_dir));
        stages.log_skipped(remove_shortcuts(layout));
        stages.log_skipped(delete_uninstall_registration());
        stages.log_skipped(remove_retired_uninstallers(layout.install_dir));
        stages.log_skipped(remove_directory_if_empty(layout.install_dir));
        purge_data_if_asked(request, layout, stages, log);
        stages.finish();
        return UninstallOutcome{};
    }
    stages.log_event(install_directory_event(layout.install_dir));

    stages.begin(UNINSTALL_CLOSING_TEXT);
    stages.log_skipped(close_running_application(std::nullopt));

    stages.begin(REMOVING_TEXT);
    stages.log_skipped(delete_program_with_retries(layout.app_exe));
    stages.log_skipped(delete_file_best_effort(staging_path(layout.install_dir, APP_STAGING_NAME)));
    stages.log_skipped(delete_file_best_effort(staging_path(layout.install_dir, UNINSTALLER_STAGING_NAME)));
    stages.log_skipped(remove_retired_uninstallers(layout.install_dir));
    stages.log_skipped(remove_shortcuts(layout));

    stages.begin(UNREGISTERING_TEXT);
    stages.log_skipped(delete_uninstall_registration());

    purge_data_if_asked(request, layout, stages, log);

    stages.begin_unshown(UNINSTALLER_STAGE);
    if (is_running_executable(layout.uninstaller)) {
        PendingSelfRemoval removal = retire_for_self_removal(layout, stages);
        stages.finish();
        return UninstallOutcome{std::move(removal)};
    }
    stages.log_skipped(delete_file_best_effort(layout.uninstaller));
    stages.log_skipped(remove_directory_if_empty(layout.install_dir));
    stages.finish();
    return UninstallOutcome{};
}

Status run_silent_uninstall(const SetupOptions& options, const RunLog& log) {
    const Result<UninstallOutcome> outcome =
        run_uninstall_sequence({.directory = options.dir, .purge_data = options.purge_data}, {}, log);
    if (!outcome) return outcome.error();
    if (const UninstallOutcome& pending = *outcome) hand_over_self_removal(*pending, log);
    return Done{};
}

}  // namespace koravale
