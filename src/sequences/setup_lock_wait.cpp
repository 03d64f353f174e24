#include "sequences/setup_lock_wait.h"

#include <windows.h>

#include "product/run_log_events.h"

namespace koravale {

Result<SetupLock> wait_for_setup_lock(SequenceStages& stages) {
    Result<SetupLock> lock = SetupLock::open();
    if (!lock) {
        stages.log_skipped(Status(lock.error()));
        return SetupLock{};
    }
    if (!lock->fallback_reason().empty()) stages.log_event(setup_lock_fallback_event(lock->name(), lock->fallback_reason()));
    if (lock->take(0)) return lock;

    stages.begin(WAITING_FOR_OTHER_SETUP_TEXT);
    const ULONGLONG started = GetTickCount64();
    for (;;) {
        const bool taken = lock->take(SETUP_LOCK_POLL_MS);
        const ULONGLONG waited = GetTickCount64() - started;
        if (taken) {
            stages.log_event(setup_lock_waited_event(waited));
            return lock;
        }
        if (waited >= SETUP_LOCK_WAIT_MS) {
            stages.log_event(setup_lock_gave_up_event(waited));
            return stages.fail(SetupError{std::string(OTHER_SETUP_RUNNING_TEXT)});
        }
    }
}

}  // namespace koravale
