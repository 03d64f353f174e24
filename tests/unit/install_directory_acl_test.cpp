#include <gtest/gtest.h>

#include <tuple>

#include "product/security/install_directory_acl.h"
#include "product/security/install_directory_verdict.h"

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
        {"an entry of a kind not read", std::vector<AccessGrant>{{true, 0x1f01ff, "?"}}, true},
    };
    for (const GrantCase& c : cases) EXPECT_EQ(other_accounts_write_access(c.list, USER).has_value(), c.open) << c.name;
    EXPECT_EQ(other_accounts_write_access(std::nullopt, USER), "no access list: everyone may change everything");
}

// What Wine cannot show: an owner no account here has, and a closing that
// did not take. Never the Program Files hint: running elevated is no cure.
TEST(InstallDirectoryVerdict, RefusesWhatWineCannotShowWithItsOwnText) {
    using enum DirectoryFinding;
    const std::string unclosable = "无法阻止其他账户修改安装目录 D:\\K，其中的程序可能被替换。请选择其他目录";
    const std::vector<std::tuple<DirectoryFinding, DirectoryLook, std::string>> cases{
        {Open, DirectoryLook::AfterClosing, unclosable}, {OpenWithOtherContent, DirectoryLook::AfterClosing, unclosable},
        {OwnerWithoutAccount, DirectoryLook::BeforeClosing,
         "安装目录 D:\\K 属于本机上不存在的账户（例如重装系统之前的账户），无法确认谁可以替换其中的程序。请选择其他目录"},
        {ReparsePoint, DirectoryLook::BeforeClosing, "安装目录 D:\\K 是指向其他位置的链接。请选择其他目录"}};
    for (const auto& [finding, look, text] : cases) {
        const DirectoryVerdict verdict = judge_install_directory(finding, "D:\\K", look);
        EXPECT_EQ(std::pair(verdict.action, verdict.refusal), std::pair(DirectoryAction::Refuse, text));
    }
}

}  // namespace
}  // namespace koravale
