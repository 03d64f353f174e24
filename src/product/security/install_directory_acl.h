#pragma once
// Who may change an install directory: the access list an install gives a
// folder it creates, which owners and entries of an existing one leave the
// program to the user alone, and the refusals when they do not.
// Outside the user's profile a folder would otherwise inherit entries that
// let every other account replace the program the user starts.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace koravale {

// SDDL: a protected list ("P", nothing inherited from the parent) that
// grants full control ("FA") to the user's SID, SYSTEM and Administrators,
// each inherited by files ("OI") and folders ("CI") below.
std::string install_directory_sddl(std::string_view user_sid);

// The user, SYSTEM, Administrators or TrustedInstaller: a folder or file
// they own is nobody else's to change.
bool is_trusted_owner(std::string_view owner_sid, std::string_view user_sid);

// One entry of a folder's access list, as the system reads it.
struct AccessGrant {
    bool allows = false;  // an allowing entry; denying ones only take away
    std::uint32_t rights = 0;
    std::string trustee_sid;
};

// Who besides the trusted owners (and the owner and creator placeholders,
// which stand for them) may create, delete or write entries in the folder,
// or change its permissions or owner, now or in a file created there later:
// the first entry that lets them, in the run log's words ("S-1-1-0 allowed
// 0x001301FF"). None when nobody else may. No list at all (a null DACL)
// lets everyone do all.
std::optional<std::string> other_accounts_write_access(const std::optional<std::vector<AccessGrant>>& list,
                                                       std::string_view user_sid);

}  // namespace koravale
