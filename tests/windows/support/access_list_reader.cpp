#include "support/access_list_reader.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <regex>
#include <vector>

#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale::testing_support {

bool AccessList::lets_other_users_in() const {
    for (const AccessEntry& entry : entries) {
        if (entry.trustee == "WD" || entry.trustee == "BU" || entry.trustee == "AU") return true;
    }
    return false;
}

std::optional<AccessList> read_access_list(const std::wstring& path) {
    UniqueSecurityDescriptor descriptor;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, descriptor.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    UniqueLocalText text;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor.get(), SDDL_REVISION_1,
                                                              DACL_SECURITY_INFORMATION, text.put(), nullptr)) {
        return std::nullopt;
    }
    AccessList list;
    list.sddl = from_wide_lossy(text.get());
    static const std::regex header(R"(^D:([A-Z]*)\()");
    std::smatch flags;
    list.protected_from_parent =
        std::regex_search(list.sddl, flags, header) && flags[1].str().find('P') != std::string::npos;
    // (type;flags;rights;object;inherited object;trustee)
    static const std::regex entry(R"(\(([A-Z]+);([A-Z]*);([^;]*);[^;]*;[^;]*;([^)]*)\))");
    for (std::sregex_iterator it(list.sddl.begin(), list.sddl.end(), entry), end; it != end; ++it) {
        list.entries.push_back(AccessEntry{(*it)[1], (*it)[2], (*it)[3], (*it)[4]});
    }
    return list;
}

std::string current_user_sid() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
    std::vector<unsigned char> buffer(512);
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size)) return {};
    UniqueLocalText sid;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, sid.put())) return {};
    return from_wide_lossy(sid.get());
}

}  // namespace koravale::testing_support
