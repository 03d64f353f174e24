#include "sequences/self_removal_hand_over.h"

#include "product/run_log_events.h"
#include "product/self_removal_command.h"
#include "system/self_removal.h"
#include "system/setup_lock.h"

namespace koravale {

PendingSelfRemoval retire_for_self_removal(const InstallLayout& layout, const SequenceStages& stages) {
    PendingSelfRemoval removal{layout.uninstaller, layout.install_dir, std::nullopt};
    // The shell will refuse such paths anyway; a rename would only have to be undone.
    if (!safe_for_command_shell(layout.uninstaller) || !safe_for_command_shell(layout.install_dir)) return removal;
    const Result<std::string> retired = retire_running_uninstaller(layout.uninstaller);
    if (retired) {
        removal.uninstaller = *retired;
        removal.own_name = layout.uninstaller;
        stages.log_event(uninstaller_retired_event(*retired));
    } else {
        stages.log_skipped(Status(retired.error()));
        stages.log_event(uninstaller_kept_name_event(layout.uninstaller));
    }
    return removal;
}

void hand_over_self_removal(const PendingSelfRemoval& removal, const RunLog& log) {
    const Status started = start_removal_shell(removal.uninstaller, removal.install_dir);
    if (started) {
        log.write(self_removal_event(removal.uninstaller, removal.install_dir));
        return;
    }
    log.write(skipped_event(started.error()));
    if (!removal.own_name) return;
    // Only under the lock: an install at work there is putting its own uninstaller in place.
    Result<SetupLock> lock = SetupLock::open();
    if (lock && !lock->take(0)) {
        log.write(retired_uninstaller_left_event(removal.uninstaller));
        return;
    }
    const Status restored = restore_retired_uninstaller(removal.uninstaller, *removal.own_name);
    log.write(restored ? uninstaller_restored_event(*removal.own_name) : skipped_event(restored.error()));
}

}  // namespace koravale
