#pragma once
// A folder's access list read back through the platform, the way an
// administrator's tools see it.

#include <optional>
#include <string>
#include <vector>

namespace koravale::testing_support {

// One allowed or denied entry, in SDDL terms: "A" or "D", its inheritance
// flags ("OICI"), its rights ("FA", "0x1200a9") and whom it names ("WD",
// "SY", "S-1-5-21-...").
struct AccessEntry {
    std::string type;
    std::string flags;
    std::string rights;
    std::string trustee;

    bool operator==(const AccessEntry&) const = default;
};

struct AccessList {
    std::string sddl;                    // the whole list as the platform writes it
    bool protected_from_parent = false;  // "P": nothing inherited
    std::vector<AccessEntry> entries;

    // An entry that names Everyone, Users or Authenticated Users.
    bool lets_other_users_in() const;
};

// None when the list cannot be read.
std::optional<AccessList> read_access_list(const std::wstring& path);

// The SID of this process's user, as SDDL text.
std::string current_user_sid();

}  // namespace koravale::testing_support
