#include "system/setup_lock.h"

#include <windows.h>
#include <aclapi.h>

#include <optional>
#include <utility>
#include <vector>

#include "product/io_failure_text.h"
#include "product/product_constants.h"
#include "system/os_error.h"
#include "system/user_identity.h"
#include "system/wide_string.h"

namespace koravale {
namespace {

constexpr std::string_view FOREIGN_OWNER_TEXT = "它属于另一个账户";

struct OwnedDescriptor {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ~OwnedDescriptor() {
        if (descriptor != nullptr) LocalFree(descriptor);
    }
};

bool is_well_known(PSID sid, WELL_KNOWN_SID_TYPE type) {
    BYTE buffer[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(buffer);
    return CreateWellKnownSid(type, nullptr, buffer, &size) && EqualSid(sid, buffer);
}

// A mutex of that name made by another account could be held for ever to
// keep us waiting. An elevated run of the same user owns its objects as
// Administrators, and the system may own anything.
bool owned_by_us(HANDLE mutex, PSID user) {
    PSID owner = nullptr;
    OwnedDescriptor security;
    if (GetSecurityInfo(mutex, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &security.descriptor) != ERROR_SUCCESS) {
        return true;  // nothing says it is foreign
    }
    return owner == nullptr || EqualSid(owner, user) || is_well_known(owner, WinBuiltinAdministratorsSid) ||
           is_well_known(owner, WinLocalSystemSid);
}

// Never takes the lock: ownership comes with take().
Result<UniqueKernelHandle> create_named_mutex(const std::string& name, PSID user) {
    const std::wstring wide_name = to_wide(name);
    UniqueKernelHandle mutex(CreateMutexW(nullptr, FALSE, wide_name.c_str()));
    const DWORD error = GetLastError();
    if (!mutex) return describe_failure(OPEN_LOCK_VERB, name, io_error_from_code(error).text);
    if (error == ERROR_ALREADY_EXISTS && !owned_by_us(mutex.get(), user)) {
        return describe_failure(OPEN_LOCK_VERB, name, FOREIGN_OWNER_TEXT);
    }
    return mutex;
}

}  // namespace

SetupLock::SetupLock(SetupLock&& other) noexcept
    : mutex_(std::move(other.mutex_)),
      name_(std::move(other.name_)),
      fallback_reason_(std::move(other.fallback_reason_)),
      held_(std::exchange(other.held_, false)) {}

SetupLock& SetupLock::operator=(SetupLock&& other) noexcept {
    if (this != &other) {
        release();
        mutex_ = std::move(other.mutex_);
        name_ = std::move(other.name_);
        fallback_reason_ = std::move(other.fallback_reason_);
        held_ = std::exchange(other.held_, false);
    }
    return *this;
}

SetupLock::~SetupLock() { release(); }

void SetupLock::release() {
    if (held_) ReleaseMutex(mutex_.get());
    held_ = false;
}

Result<SetupLock> SetupLock::open() {
    Result<std::vector<BYTE>> user = current_user_sid();
    if (!user) return user.error();
    const Result<std::string> user_text = sid_text(user->data());
    if (!user_text) return user_text.error();
    const std::string base = std::string(SETUP_LOCK_NAME_PREFIX) + *user_text;

    SetupLock lock;
    lock.name_ = "Global\\" + base;
    Result<UniqueKernelHandle> mutex = create_named_mutex(lock.name_, user->data());
    if (!mutex) {
        lock.fallback_reason_ = mutex.error().message;
        lock.name_ = "Local\\" + base;
        mutex = create_named_mutex(lock.name_, user->data());
        if (!mutex) return mutex.error();
    }
    lock.mutex_ = std::move(*mutex);
    return lock;
}

bool SetupLock::take(std::uint32_t wait_ms) {
    if (held_) return true;
    const DWORD waited = WaitForSingleObject(mutex_.get(), wait_ms);
    // Windows reports a mutex left by a killed process as abandoned; Wine
    // reports it as plainly signalled. Either way it is ours now.
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return held_;
}

}  // namespace koravale
