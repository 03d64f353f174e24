#include "sequences/setup_lock_wait.h"

#include "product/run_log/run_log_events.h"

namespace koravale {
namespace {

// Ends the wait stage as the window's cancel asked.
SetupError cancel_wait(SequenceStages& stages, WaitCancellation& cancellation, ULONGLONG waited) {
    cancellation.mark_cancelled();
    stages.log_event(wait_cancelled_event(waited));
    stages.cancel();
    return SetupError{std::string(WAIT_CANCELLED_TEXT)};
}

// Shown and cancellable while it lasts.
class WaitStage {
public:
    WaitStage(SequenceStages& stages, WaitCancellation* cancellation) : cancellation_(cancellation) {
        stages.begin(WAITING_FOR_OTHER_SETUP_TEXT);
        if (cancellation_ != nullptr) cancellation_->tell_cancellable(true);
    }
    ~WaitStage() { end(); }
    WaitStage(const WaitStage&) = delete;
    WaitStage& operator=(const WaitStage&) = delete;

    ULONGLONG waited() const { return GetTickCount64() - started_; }

    // Tells the window the wait is over, then whether its cancel came first:
    // a cancel made before the window knew must not be lost.
    bool end_cancelled() {
        end();
        return cancellation_ != nullptr && WaitForSingleObject(cancellation_->event(), 0) == WAIT_OBJECT_0;
    }

private:
    void end() {
        if (cancellation_ != nullptr && !ended_) cancellation_->tell_cancellable(false);
        ended_ = true;
    }

    WaitCancellation* cancellation_;
    ULONGLONG started_ = GetTickCount64();
    bool ended_ = false;
};

HANDLE cancel_event(const WaitCancellation* cancellation) {
    return cancellation != nullptr ? cancellation->event() : nullptr;
}

}  // namespace

Result<SetupLock> wait_for_setup_lock(SequenceStages& stages, WaitCancellation* cancellation) {
    Result<SetupLock> lock = SetupLock::open();
    if (!lock) {
        stages.log_skipped(Status(lock.error()));
        return SetupLock{};
    }
    if (!lock->fallback_reason().empty()) stages.log_event(setup_lock_fallback_event(lock->name(), lock->fallback_reason()));
    Result<LockTaking> taken = lock->wait(0);
    if (taken && *taken == LockTaking::HeldElsewhere) {
        WaitStage stage(stages, cancellation);
        for (;;) {
            taken = lock->wait(POLL_INTERVAL_MS, cancel_event(cancellation));
            if (!taken) break;
            if (*taken == LockTaking::Cancelled) return cancel_wait(stages, *cancellation, stage.waited());
            if (*taken != LockTaking::HeldElsewhere) {
                // The lock taken is given back with the result dropped here.
                if (stage.end_cancelled()) return cancel_wait(stages, *cancellation, stage.waited());
                stages.log_event(setup_lock_waited_event(stage.waited()));
                break;
            }
            if (stage.waited() >= SETUP_LOCK_WAIT_MS) {
                stages.log_event(setup_lock_gave_up_event(stage.waited()));
                return stages.fail(SetupError{std::string(OTHER_SETUP_RUNNING_TEXT)});
            }
        }
    }
    if (!taken) return stages.fail(taken.error());
    if (*taken == LockTaking::TakenFromDeadRun) stages.log_event(setup_lock_abandoned_event());
    return lock;
}

Status wait_for_removal_shell(SequenceStages& stages, const SetupLock& lock, WaitCancellation* cancellation) {
    if (!lock.removal_shell_pending()) return Done{};
    WaitStage stage(stages, cancellation);
    const HANDLE cancel = cancel_event(cancellation);
    while (lock.removal_shell_pending()) {
        if (stage.waited() >= REMOVAL_SHELL_WAIT_MS) {
            stages.log_event(removal_shell_gave_up_event(stage.waited()));
            return stages.fail(SetupError{std::string(OTHER_SETUP_RUNNING_TEXT)});
        }
        if (cancel == nullptr) {
            Sleep(POLL_INTERVAL_MS);
        } else if (WaitForSingleObject(cancel, POLL_INTERVAL_MS) == WAIT_OBJECT_0) {
            return cancel_wait(stages, *cancellation, stage.waited());
        }
    }
    if (stage.end_cancelled()) return cancel_wait(stages, *cancellation, stage.waited());
    stages.log_event(removal_shell_waited_event(stage.waited()));
    return Done{};
}

}  // namespace koravale
