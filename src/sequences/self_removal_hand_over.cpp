#include "sequences/self_removal_hand_over.h"

#include "checks/install_dir_rules.h"
#include "product/identity/product_constants.h"
#include "product/installation/self_removal_command.h"
#include "product/run_log/run_log_events.h"
#include "system/processes/self_removal.h"
#include "system/security/setup_lock.h"
#include "system/shell/uninstall_registration.h"

namespace koravale {
namespace {

void restore_own_name(const PendingSelfRemoval& removal, const RunLog& log) {
    // Only under the lock: an install at work there is putting its own uninstaller in place.
    Result<SetupLock> lock = SetupLock::open();
    if (lock && !lock->take(0)) {
        log.write(retired_uninstaller_left_event(removal.uninstaller));
        return;
    }
    const Status restored = restore_retired_uninstaller(removal.uninstaller, *removal.own_name);
    log.write(restored ? uninstaller_restored_event(*removal.own_name) : skipped_event(restored.error()));
}

// A name no install writes: the shell may delete it whenever it likes.
void hand_over_retired(const PendingSelfRemoval& removal, const RunLog& log) {
    const Status started = start_removal_shell(removal.uninstaller, removal.install_dir);
    if (started) {
        log.write(self_removal_event(removal.uninstaller, removal.install_dir));
        return;
    }
    log.write(skipped_event(started.error()));
    restore_own_name(removal, log);
}

// The shell will delete uninstall.exe by that name: decided under the lock,
// and marked so that no install puts its own there while the shell runs.
void hand_over_kept_name(const PendingSelfRemoval& removal, const RunLog& log) {
    if (!safe_for_command_shell(removal.uninstaller) || !safe_for_command_shell(removal.install_dir)) {
        log.write(skipped_event(start_removal_shell(removal.uninstaller, removal.install_dir).error()));
        return;
    }
    Result<SetupLock> lock = SetupLock::open();
    if (!lock || !lock->take(SETUP_LOCK_WAIT_MS)) {
        log.write(self_removal_lock_unavailable_event(removal.uninstaller));
        return;
    }
    if (!removal.own_file || file_identity(removal.uninstaller) != removal.own_file) {
        log.write(self_removal_not_handed_over_event(removal.uninstaller));
        return;
    }
    // An install could not replace the running file and registered it as its uninstaller.
    const std::optional<std::string> registered = read_installed_product().install_location;
    if (registered && same_directory(*registered, removal.install_dir)) {
        log.write(uninstaller_adopted_event(removal.uninstaller));
        return;
    }
    // Whatever held it may have let go by now.
    if (const Result<std::string> retired = retire_running_uninstaller(removal.uninstaller, true)) {
        log.write(uninstaller_retired_event(*retired));
        hand_over_retired({*retired, removal.install_dir, removal.uninstaller, removal.own_file}, log);
        return;
    }
    const Result<UniqueKernelHandle> marker = lock->make_removal_shell_marker();
    if (!marker) {
        log.write(skipped_event(marker.error()));
        log.write(self_removal_unmarked_event(removal.uninstaller));
        return;
    }
    const Status started = start_removal_shell(removal.uninstaller, removal.install_dir, marker->get());
    log.write(started ? self_removal_event(removal.uninstaller, removal.install_dir) : skipped_event(started.error()));
}

}  // namespace

PendingSelfRemoval retire_for_self_removal(const InstallLayout& layout, const SequenceStages& stages) {
    PendingSelfRemoval removal{layout.uninstaller, layout.install_dir, std::nullopt, file_identity(layout.uninstaller)};
    // The shell will refuse such paths anyway; a rename would only have to be undone.
    if (!safe_for_command_shell(layout.uninstaller) || !safe_for_command_shell(layout.install_dir)) return removal;
    const Result<std::string> retired = retire_running_uninstaller(layout.uninstaller);
    if (retired) {
        removal.uninstaller = *retired;
        removal.own_name = layout.uninstaller;
        // A rename to a longer name gives a file on FAT a new ID; the retired name is this program's alone.
        removal.own_file = file_identity(*retired);
        stages.log_event(uninstaller_retired_event(*retired));
    } else {
        stages.log_skipped(Status(retired.error()));
        stages.log_event(uninstaller_kept_name_event(layout.uninstaller));
    }
    return removal;
}

void hand_over_self_removal(const PendingSelfRemoval& removal, const RunLog& log) {
    if (!removal.own_name) {
        hand_over_kept_name(removal, log);
        return;
    }
    // The retired name is this program's alone; the file must still be this program's own.
    if (!removal.own_file || file_identity(removal.uninstaller) != removal.own_file) {
        log.write(self_removal_not_handed_over_event(removal.uninstaller));
        return;
    }
    hand_over_retired(removal, log);
}

}  // namespace koravale
