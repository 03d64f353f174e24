#pragma once
// The lock that keeps two setup programs of one user from changing the
// installation together: a named mutex whose name carries the user's SID,
// in the global namespace, so that every session of the user shares it and
// other users' setup programs neither see nor block it.

#include <cstdint>
#include <string>

#include "common/result.h"
#include "system/unique_handle.h"

namespace koravale {

class SetupLock {
public:
    SetupLock() = default;  // no lock: runs as if there were none
    SetupLock(SetupLock&& other) noexcept;
    SetupLock& operator=(SetupLock&& other) noexcept;
    ~SetupLock();

    // Opens the user's lock without taking it. When the global name is
    // unusable (another account made it first, or the namespace refuses us)
    // the session's own namespace serves instead; `fallback_reason` says why.
    static Result<SetupLock> open();

    // Waits up to `wait_ms` for the lock; true once this thread holds it.
    // A lock left by a process that ended without giving it back is free.
    bool take(std::uint32_t wait_ms);

    const std::string& name() const { return name_; }
    const std::string& fallback_reason() const { return fallback_reason_; }

private:
    void release();

    UniqueKernelHandle mutex_;
    std::string name_;
    std::string fallback_reason_;
    bool held_ = false;
};

}  // namespace koravale
