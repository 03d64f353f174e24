#pragma once
// A sequence reads or changes the installation only while it holds the
// user's setup lock. A run that finds it held waits, shown and logged as a
// stage of its own, and gives up after a bound with a message. A window
// run may end the wait itself; nothing has changed by then.

#include <windows.h>

#include <functional>

#include "common/result.h"
#include "product/identity/product_constants.h"
#include "sequences/sequence_stages.h"
#include "system/security/setup_lock.h"
#include "texts/progress_texts.h"

namespace koravale {


// A shell deleting the uninstaller of a former uninstall by its own name
// runs about ten seconds; an install waits for it that long and a little more.
inline constexpr std::uint32_t REMOVAL_SHELL_WAIT_MS = 20000;

// How the window ends a run's wait, and learns when it may. Owned by the
// run's caller; the wait marks it when it was ended this way.
class WaitCancellation {
public:
    WaitCancellation(HANDLE event, std::function<void(bool)> cancellable)
        : event_(event), cancellable_(std::move(cancellable)) {}

    HANDLE event() const { return event_; }
    // True as a wait begins, false once it is over.
    void tell_cancellable(bool cancellable) const {
        if (cancellable_) cancellable_(cancellable);
    }
    void mark_cancelled() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }

private:
    HANDLE event_;
    std::function<void(bool)> cancellable_;
    bool cancelled_ = false;
};

// The lock, held by the calling thread until the result is dropped. A lock
// that cannot be had at all is logged and the run goes on without it, as
// every run did before there was one.
Result<SetupLock> wait_for_setup_lock(SequenceStages& stages, WaitCancellation* cancellation = nullptr);

// Under the lock, before an install touches anything: the removal shell of
// an uninstall that kept its uninstaller's name must have ended.
Status wait_for_removal_shell(SequenceStages& stages, const SetupLock& lock, WaitCancellation* cancellation = nullptr);

}  // namespace koravale
