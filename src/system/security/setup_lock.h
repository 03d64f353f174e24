#pragma once
// The lock that keeps two setup programs of one user from changing the
// installation together: a named mutex whose name carries the user's SID,
// in the global namespace, so that every session of the user shares it and
// other users' setup programs neither see nor block it.

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/result.h"
#include "system/platform/unique_handle.h"

namespace koravale {

enum class LockTaking {
    Taken,
    TakenFromDeadRun,  // its holder ended without giving it back, maybe halfway through a change
    HeldElsewhere,     // still held when the time was up
    Cancelled,         // the cancel event was set first
};

class SetupLock {
public:
    SetupLock() = default;  // no lock: runs as if there were none
    SetupLock(SetupLock&& other) noexcept;
    SetupLock& operator=(SetupLock&& other) noexcept;
    ~SetupLock();

    // Opens the user's lock without taking it, with an access list that lets
    // the user's elevated and normal runs share it. When the global name is
    // unusable (another account made it first, or the namespace refuses us)
    // the session's own namespace serves instead; `fallback_reason` says why.
    static Result<SetupLock> open();

    // Waits up to `wait_ms` for the lock, or until `cancel` (an event, or
    // none) is set. The error is a wait that failed, with the system's reason.
    Result<LockTaking> wait(std::uint32_t wait_ms, HANDLE cancel = nullptr);
    // True once this thread holds the lock.
    bool take(std::uint32_t wait_ms);

    // A removal shell that deletes the uninstaller by its own name must end
    // before an install puts a new one there. It is given a copy of this
    // handle, so the name is there for as long as the shell runs.
    Result<UniqueKernelHandle> make_removal_shell_marker() const;
    bool removal_shell_pending() const;

    const std::string& name() const { return name_; }
    const std::string& fallback_reason() const { return fallback_reason_; }

private:
    void release();
    std::string removal_shell_marker_name() const;

    UniqueKernelHandle mutex_;
    std::string name_;
    std::string fallback_reason_;
    bool held_ = false;
};

}  // namespace koravale
