#include <gtest/gtest.h>

#include "product/security/install_directory_acl.h"

namespace koravale {
namespace {

// Exactly three entries, each full control inherited by files and folders,
// and a list that takes nothing from the parent: no Everyone, no Users, no
// Authenticated Users, however the parent was set up.
TEST(InstallDirectorySddl, GrantsTheUserSystemAndAdministratorsOnly) {
    EXPECT_EQ(install_directory_sddl("S-1-5-21-1004336348-1177238915-682003330-1001"),
              "D:P(A;OICI;FA;;;S-1-5-21-1004336348-1177238915-682003330-1001)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
}

constexpr char USER[] = "S-1-5-21-1004336348-1177238915-682003330-1001";

TEST(InstallDirectoryOwner, OnlyTheUserAndTheSystemsOwnAccountsAreTrusted) {
    EXPECT_TRUE(is_trusted_owner(USER, USER) && is_trusted_owner("S-1-5-18", USER) &&
                is_trusted_owner("S-1-5-32-544", USER));
    // Another user, Anonymous (what Wine reads for another Unix user), Users, no owner at all.
    for (const char* owner : {"S-1-5-21-1004336348-1177238915-682003330-1002", "S-1-5-7", "S-1-5-32-545", ""}) {
        EXPECT_FALSE(is_trusted_owner(owner, USER)) << owner;
    }
}

struct GrantCase {
    const char* name;
    std::optional<std::vector<AccessGrant>> list;
    bool open;
};

TEST(InstallDirectoryAccessList, OpenWhenAnotherAccountMayChangeWhatItHolds) {
    const std::vector<GrantCase> cases{
        {"null list", std::nullopt, true},
        {"what Wine reads for mode 777", std::vector<AccessGrant>{{true, 0x1f01ff, USER}, {true, 0x1301ff, "S-1-1-0"}}, true},
        {"drive root's users may create folders", std::vector<AccessGrant>{{true, 0x4, "S-1-5-11"}}, true},
        {"delete child only", std::vector<AccessGrant>{{true, 0x40, "S-1-5-32-545"}}, true},
        {"generic write for files made later", std::vector<AccessGrant>{{true, 0x40000000, "S-1-5-11"}}, true},
        {"what Wine reads for mode 755", std::vector<AccessGrant>{{true, 0x1f01ff, USER}, {true, 0x1200a9, "S-1-1-0"}}, false},
        {"the protected list", std::vector<AccessGrant>{{true, 0x1f01ff, USER}, {true, 0x1f01ff, "S-1-5-18"},
                                                        {true, 0x1f01ff, "S-1-5-32-544"}}, false},
        {"creator owner", std::vector<AccessGrant>{{true, 0x10000000, "S-1-3-0"}}, false},
        {"a denying entry", std::vector<AccessGrant>{{false, 0x1f01ff, "S-1-1-0"}}, false},
    };
    for (const GrantCase& c : cases) EXPECT_EQ(lets_other_accounts_write(c.list, USER), c.open) << c.name;
}

}  // namespace
}  // namespace koravale
