#include "product/security/install_directory_acl.h"

#include <algorithm>
#include <array>

#include "common/text.h"

namespace koravale {
namespace {

constexpr std::string_view SYSTEM_SID = "S-1-5-18";
constexpr std::string_view ADMINISTRATORS_SID = "S-1-5-32-544";
constexpr std::string_view TRUSTED_INSTALLER_SID = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
// Stand for the owner, or for whoever creates an entry below: the user,
// once a trusted owner is established.
constexpr std::string_view CREATOR_OWNER_SID = "S-1-3-0";
constexpr std::string_view OWNER_RIGHTS_SID = "S-1-3-4";

// Create files (write data) or folders, delete children or the folder,
// change its permissions or owner, and the generic rights that hold them.
constexpr std::uint32_t WRITE_RIGHTS = 0x0002 | 0x0004 | 0x0040 | 0x0001'0000 | 0x0004'0000 | 0x0008'0000 |
                                       0x4000'0000 | 0x1000'0000;

}  // namespace

std::string install_directory_sddl(std::string_view user_sid) {
    std::string sddl = "D:P(A;OICI;FA;;;";
    sddl.append(user_sid);
    sddl.append(")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
    return sddl;
}

bool is_trusted_owner(std::string_view owner_sid, std::string_view user_sid) {
    const std::array<std::string_view, 4> trusted{user_sid, SYSTEM_SID, ADMINISTRATORS_SID, TRUSTED_INSTALLER_SID};
    return !owner_sid.empty() && std::ranges::any_of(trusted, [&](std::string_view sid) { return sid == owner_sid; });
}

std::optional<std::string> other_accounts_write_access(const std::optional<std::vector<AccessGrant>>& list,
                                                       std::string_view user_sid) {
    if (!list) return "no access list: everyone may change everything";
    const auto open = std::ranges::find_if(*list, [&](const AccessGrant& grant) {
        const bool ours = is_trusted_owner(grant.trustee_sid, user_sid) || grant.trustee_sid == CREATOR_OWNER_SID ||
                          grant.trustee_sid == OWNER_RIGHTS_SID;
        return grant.allows && !ours && (grant.rights & WRITE_RIGHTS) != 0;
    });
    if (open == list->end()) return std::nullopt;
    std::string who = open->trustee_sid + " allowed 0x";
    append_upper_hex(who, open->rights, 8);
    return who;
}

}  // namespace koravale
