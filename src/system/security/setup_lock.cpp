#include "system/security/setup_lock.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <utility>
#include <vector>

#include "product/identity/product_constants.h"
#include "product/installation/io_failure_text.h"
#include "product/security/setup_lock_security.h"
#include "system/platform/os_error.h"
#include "system/platform/wide_string.h"
#include "system/security/user_identity.h"

namespace koravale {
namespace {

constexpr std::string_view REMOVAL_SHELL_SUFFIX = ".RemovalShell";
// Only what the lock is used for: waiting, releasing, reading its owner.
constexpr DWORD LOCK_ACCESS = SYNCHRONIZE | MUTEX_MODIFY_STATE | READ_CONTROL;
constexpr DWORD MARKER_ACCESS = SYNCHRONIZE | READ_CONTROL;

bool is_well_known(PSID sid, WELL_KNOWN_SID_TYPE type) {
    BYTE buffer[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(buffer);
    return CreateWellKnownSid(type, nullptr, buffer, &size) && EqualSid(sid, buffer);
}

// An object of that name made by another account could be held for ever
// to keep us waiting. Ours name the user as owner; an elevated run of an
// older version owned its objects as Administrators, and the system may
// own anything.
bool owned_by_us(HANDLE object, PSID user) {
    PSID owner = nullptr;
    UniqueSecurityDescriptor security;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        security.put()) != ERROR_SUCCESS) {
        return true;  // nothing says it is foreign
    }
    return owner == nullptr || EqualSid(owner, user) || is_well_known(owner, WinBuiltinAdministratorsSid) ||
           is_well_known(owner, WinLocalSystemSid);
}

// The label first; a system that refuses it still gets the list.
UniqueSecurityDescriptor lock_descriptor(const std::string& user_text, bool labelled) {
    const std::wstring sddl = to_wide(labelled ? setup_lock_sddl(user_text) : setup_lock_sddl_without_label(user_text));
    UniqueSecurityDescriptor descriptor;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, descriptor.put(), nullptr);
    return descriptor;
}

struct Created {
    UniqueKernelHandle object;
    DWORD error = ERROR_SUCCESS;  // ERROR_ALREADY_EXISTS when it was there before
};

template <typename Create>
Created create_with_descriptor(const std::string& user_text, Create create) {
    Created created;
    for (const bool labelled : {true, false}) {
        const UniqueSecurityDescriptor descriptor = lock_descriptor(user_text, labelled);
        SECURITY_ATTRIBUTES security{.nLength = sizeof(SECURITY_ATTRIBUTES),
                                     .lpSecurityDescriptor = descriptor.get(),
                                     .bInheritHandle = FALSE};
        created.object.reset(create(descriptor ? &security : nullptr));
        created.error = GetLastError();
        if (created.object || created.error == ERROR_ACCESS_DENIED) break;
    }
    return created;
}

// Never takes the lock: ownership comes with wait().
Result<UniqueKernelHandle> create_named_mutex(const std::string& name, PSID user, const std::string& user_text) {
    const std::wstring wide_name = to_wide(name);
    Created mutex = create_with_descriptor(user_text, [&](SECURITY_ATTRIBUTES* security) {
        return CreateMutexExW(security, wide_name.c_str(), 0, LOCK_ACCESS);
    });
    if (!mutex.object) return describe_failure(OPEN_LOCK_VERB, name, io_error_from_code(mutex.error).text);
    if (mutex.error == ERROR_ALREADY_EXISTS && !owned_by_us(mutex.object.get(), user)) {
        return describe_failure(OPEN_LOCK_VERB, name, LOCK_FOREIGN_OWNER_TEXT);
    }
    return std::move(mutex.object);
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
    Result<UniqueKernelHandle> mutex = create_named_mutex(lock.name_, user->data(), *user_text);
    if (!mutex) {
        lock.fallback_reason_ = mutex.error().message;
        lock.name_ = "Local\\" + base;
        mutex = create_named_mutex(lock.name_, user->data(), *user_text);
        if (!mutex) return mutex.error();
    }
    lock.mutex_ = std::move(*mutex);
    return lock;
}

Result<LockTaking> SetupLock::wait(std::uint32_t wait_ms, HANDLE cancel) {
    if (held_ || !mutex_) return LockTaking::Taken;
    // The cancel event first: when both are signalled, the lowest wins.
    const HANDLE objects[] = {cancel, mutex_.get()};
    const DWORD count = cancel != nullptr ? 2 : 1;
    const HANDLE* first = cancel != nullptr ? objects : objects + 1;
    const DWORD waited = WaitForMultipleObjects(count, first, FALSE, wait_ms);
    const DWORD mutex_index = count - 1;
    if (waited == WAIT_OBJECT_0 + mutex_index || waited == WAIT_ABANDONED_0 + mutex_index) {
        held_ = true;
        return waited == WAIT_OBJECT_0 + mutex_index ? LockTaking::Taken : LockTaking::TakenFromDeadRun;
    }
    if (waited == WAIT_TIMEOUT) return LockTaking::HeldElsewhere;
    if (waited == WAIT_OBJECT_0 && cancel != nullptr) return LockTaking::Cancelled;
    const DWORD error = waited == WAIT_FAILED ? GetLastError() : ERROR_INVALID_HANDLE;
    return describe_failure(WAIT_LOCK_VERB, name_, io_error_from_code(error).text);
}

bool SetupLock::take(std::uint32_t wait_ms) {
    const Result<LockTaking> taken = wait(wait_ms);
    return taken && (*taken == LockTaking::Taken || *taken == LockTaking::TakenFromDeadRun);
}

std::string SetupLock::removal_shell_marker_name() const { return name_ + std::string(REMOVAL_SHELL_SUFFIX); }

Result<UniqueKernelHandle> SetupLock::make_removal_shell_marker() const {
    const Result<std::string> user_text = current_user_sid_text();
    if (!user_text) return user_text.error();
    const std::string name = removal_shell_marker_name();
    const std::wstring wide_name = to_wide(name);
    Created marker = create_with_descriptor(*user_text, [&](SECURITY_ATTRIBUTES* security) {
        return CreateEventExW(security, wide_name.c_str(), CREATE_EVENT_MANUAL_RESET, MARKER_ACCESS);
    });
    if (!marker.object) return describe_failure(OPEN_LOCK_VERB, name, io_error_from_code(marker.error).text);
    // Installs ignore a marker of another account's: it would mark nothing.
    Result<std::vector<BYTE>> user = current_user_sid();
    if (marker.error == ERROR_ALREADY_EXISTS && user && !owned_by_us(marker.object.get(), user->data())) {
        return describe_failure(OPEN_LOCK_VERB, name, LOCK_FOREIGN_OWNER_TEXT);
    }
    return std::move(marker.object);
}

bool SetupLock::removal_shell_pending() const {
    if (name_.empty()) return false;
    const UniqueKernelHandle marker(OpenEventW(MARKER_ACCESS, FALSE, to_wide(removal_shell_marker_name()).c_str()));
    if (!marker) return false;
    Result<std::vector<BYTE>> user = current_user_sid();
    return !user || owned_by_us(marker.get(), user->data());
}

}  // namespace koravale
