#include "system/security/user_identity.h"

#include <sddl.h>

#include <string_view>

#include "system/platform/os_error.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale {
namespace {

// Called right after the failed call: the error is read before anything else.
SetupError cannot(std::string_view what, const IoError& error = last_io_error()) {
    return SetupError{std::string("cannot ").append(what).append(": ").append(error.text)};
}

}  // namespace

Result<std::vector<BYTE>> current_user_sid() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return cannot("open the process token");
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size ? size : sizeof(TOKEN_USER));
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size)) {
        return cannot("read the user of the process token");
    }
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
    std::vector<BYTE> copy(GetLengthSid(sid));
    if (!CopySid(static_cast<DWORD>(copy.size()), copy.data(), sid)) return cannot("copy the user's SID");
    return copy;
}

Result<std::string> sid_text(PSID sid) {
    UniqueLocalText text;
    if (!ConvertSidToStringSidW(sid, text.put())) return cannot("write the user's SID as text");
    return from_wide_lossy(text.get());  // a SID's text is ASCII
}

Result<std::string> current_user_sid_text() {
    Result<std::vector<BYTE>> user = current_user_sid();
    if (!user) return user.error();
    return sid_text(user->data());
}

bool names_no_account(PSID sid) {
    // Without room for the names the answer is only whether there are any.
    DWORD name_size = 0;
    DWORD domain_size = 0;
    SID_NAME_USE use;
    return !LookupAccountSidW(nullptr, sid, nullptr, &name_size, nullptr, &domain_size, &use) &&
           GetLastError() == ERROR_NONE_MAPPED;
}

}  // namespace koravale
