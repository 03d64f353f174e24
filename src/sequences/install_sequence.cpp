#include "sequences/install_sequence.h"

#include "checks/disk_readiness.h"
#include "checks/install_dir_rules.h"
#include "common/text.h"
#include "payload/embedded_payload.h"
#include "product/identity/product_constants.h"
#include "product/run_log/run_log_events.h"
#include "sequences/install_directory_guard.h"
#include "sequences/sequence_stages.h"
#include "sequences/setup_lock_wait.h"
#include "system/files/file_queries.h"
#include "system/files/program_files.h"
#include "system/processes/running_application.h"
#include "system/security/install_directory_examination.h"
#include "system/shell/install_paths.h"
#include "system/shell/known_folders.h"
#include "system/shell/shortcuts.h"
#include "system/shell/uninstall_registration.h"
#include "texts/progress_texts.h"

namespace koravale {
namespace {

// The checks before anything changes have no progress text of their own.
constexpr std::string_view CHECKING_STAGE = "checking the install directory and drive";

}  // namespace

// A silent upgrade keeps the user's choice: the desktop shortcut comes back
// only if it is still there; a fresh install always gets one.
bool silent_desktop_shortcut_wanted() {
    if (!read_installed_product().installed_version) return true;
    const std::optional<std::string> desktop = known_folder_path(FOLDERID_Desktop);
    return desktop && path_exists(join_path(*desktop, SHORTCUT_NAME));
}

Result<InstallLayout> resolve_install_layout(const std::optional<std::string>& directory) {
    const Result<std::string> local_app_data = local_app_data_dir();
    if (!local_app_data) return local_app_data.error();
    const std::string data_dir = join_path(*local_app_data, PRODUCT_NAME);

    std::string candidate;
    if (directory && !trim_white_space(*directory).empty()) {
        candidate = std::string(trim_white_space(*directory));
    } else if (std::optional<std::string> registered = read_installed_product().install_location) {
        candidate = std::move(*registered);
    } else {
        const Result<std::string> fallback = default_install_dir();
        if (!fallback) return fallback.error();
        candidate = *fallback;
    }
    const Result<std::string> canonical = validate_install_dir(candidate, data_dir);
    if (!canonical) return canonical.error();
    return layout_for(*canonical);
}

Status run_install_sequence(const InstallRequest& request, const ProgressReporter& progress, const RunLog& log) {
    SequenceStages stages(progress, log);
    // Held to the end: two installs, or an install and an uninstall, never
    // change the installation together.
    const Result<SetupLock> lock = wait_for_setup_lock(stages, request.cancellation);
    if (!lock) return lock.error();
    if (Status shell = wait_for_removal_shell(stages, *lock, request.cancellation); !shell) return shell.error();
    const bool desktop_shortcut_wanted =
        request.desktop_shortcut_wanted ? *request.desktop_shortcut_wanted : silent_desktop_shortcut_wanted();
    stages.begin_unshown(CHECKING_STAGE);
    const std::optional<std::string> former_location = read_installed_product().install_location;

    const Result<InstallLayout> resolved = resolve_install_layout(request.directory);
    if (!resolved) return stages.fail(resolved.error());
    const InstallLayout& layout = *resolved;
    stages.log_event(install_directory_event(layout.install_dir));
    if (request.chooser) {
        stages.log_event(install_chosen_event(*request.chooser, layout.install_dir, desktop_shortcut_wanted,
                                              request.launch_after));
    }

    if (Status not_file = check_install_path_not_file(layout.install_dir); !not_file) {
        return stages.fail(not_file.error());
    }
    const std::uint64_t expected_size = expected_image_size();
    if (Status disk = check_install_disk(layout.install_dir, expected_size, platform_disk_queries()); !disk) {
        return stages.fail(disk.error());
    }
    if (Status guarded = guard_existing_install_directory(stages, layout.install_dir); !guarded) {
        return stages.fail(guarded.error());
    }

    stages.begin(INSTALL_CLOSING_TEXT);
    stages.log_skipped(close_running_application(request.wait_pid));

    stages.begin(EXTRACTING_TEXT);
    const Result<ImageBytes> image = extract_application_image(expected_size);
    if (!image) return stages.fail(image.error());

    stages.begin(PLACING_TEXT);
    if (Status dir = make_install_directory(stages, layout.install_dir); !dir) return stages.fail(dir.error());
    Result<std::string> staged = write_staged_program(layout.install_dir, image->bytes());
    // The shell of an uninstall that ended a moment ago may just have
    // removed the empty folder: make it once more. Only when it is gone: a
    // folder that cannot be opened is still there.
    if (!staged && examine_install_directory(layout.install_dir).finding == DirectoryFinding::Missing) {
        stages.log_event(install_directory_vanished_event(layout.install_dir));
        if (Status dir = make_install_directory(stages, layout.install_dir); !dir) return stages.fail(dir.error());
        staged = write_staged_program(layout.install_dir, image->bytes());
    }
    if (!staged) return stages.fail(staged.error());
    if (Status replaced = replace_file_with_retry(*staged, layout.app_exe); !replaced) {
        return stages.fail(replaced.error());
    }
    stages.log_skipped(place_uninstaller_copy(layout.install_dir, layout.uninstaller));

    const bool location_changed = former_location && !same_directory(*former_location, layout.install_dir);

    stages.begin(REGISTERING_TEXT);
    stages.log_skipped(create_install_shortcuts(layout, desktop_shortcut_wanted, location_changed));
    const Result<SkippedFailures> registered = write_uninstall_registration(layout, image->size());
    if (!registered) return stages.fail(registered.error());
    stages.log_skipped(*registered);

    if (location_changed) {
        stages.begin(CLEANING_TEXT);
        stages.log_skipped(remove_old_program_files(*former_location));
    }
    if (request.launch_after) {
        stages.begin(LAUNCHING_TEXT);
        stages.log_skipped(launch_application(layout.app_exe));
    }
    stages.finish();
    return Done{};
}

Status run_silent_install(const SetupOptions& options, const RunLog& log) {
    InstallRequest request;
    request.directory = options.dir;
    request.launch_after = options.relaunch;
    request.wait_pid = options.wait_pid;
    return run_install_sequence(request, {}, log);
}

}  // namespace koravale
