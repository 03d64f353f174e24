#include "system/user_identity.h"

#include <sddl.h>

#include "system/unique_handle.h"
#include "system/wide_string.h"

namespace koravale {

std::optional<std::vector<BYTE>> current_user_sid() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return std::nullopt;
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return std::nullopt;
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
    if (!IsValidSid(sid)) return std::nullopt;
    std::vector<BYTE> copy(GetLengthSid(sid));
    if (!CopySid(static_cast<DWORD>(copy.size()), copy.data(), sid)) return std::nullopt;
    return copy;
}

std::optional<std::string> sid_text(PSID sid) {
    UniqueLocalText text;
    if (!ConvertSidToStringSidW(sid, text.put())) return std::nullopt;
    return from_wide_strict(text.get());
}

}  // namespace koravale
