#pragma once
// How an operation on the worker thread ended, as the window receives it.

#include <string>
#include <variant>

#include "sequences/uninstall_sequence.h"

namespace koravale {

struct WorkerOutcome {
    struct Failed {
        std::string message;  // the sequence's first failure, shown as it stands
    };
    struct Done {};
    // The user ended the wait for another setup program; nothing was changed.
    struct Cancelled {};
    // The installed uninstaller ran: it and its folder go once the process has ended.
    struct DoneWithSelfRemoval {
        PendingSelfRemoval removal;
    };

    std::variant<Failed, Done, DoneWithSelfRemoval, Cancelled> value;
};

}  // namespace koravale
