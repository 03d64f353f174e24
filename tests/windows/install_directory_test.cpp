// The install directory on a real (Wine) file system: made with the
// folders above it, each closed to other users from the start, and what an
// existing one is found to be.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/access_list_reader.h"
#include "support/test_support.h"
#include "system/platform/wide_string.h"
#include "system/security/install_directory_creation.h"
#include "system/security/install_directory_examination.h"

namespace koravale {
namespace {

using namespace testing_support;

std::string utf8(const std::wstring& path) { return from_wide_lossy(path); }

bool ends_with(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(EnsureInstallDirectory, CreatesMissingParentsAndKeepsWhatIsThere) {
    TempDir dir;
    const std::wstring nested = dir / L"a b\\c\\KoraVale";
    const Result<EnsuredInstallDirectory> made = ensure_install_directory(utf8(nested));
    ASSERT_TRUE(made.ok()) << made.error().message;
    EXPECT_EQ(made->origin, InstallDirectoryOrigin::CreatedProtected);
    EXPECT_TRUE(GetFileAttributesW(nested.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    write_file(nested + L"\\user.txt", "kept");
    const Result<EnsuredInstallDirectory> again = ensure_install_directory(utf8(nested) + "\\");
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again->origin, InstallDirectoryOrigin::Existed);
    EXPECT_EQ(read_file(nested + L"\\user.txt"), "kept");
}

bool grants_full_control(const AccessList& list, const std::string& trustee) {
    return std::ranges::find(list.entries, AccessEntry{"A", "OICI", "FA", trustee}) != list.entries.end();
}

// Wine keeps an access list only as Unix permission bits: it reads back
// no protected flag and no Administrators entry, and a file made inside
// gets the mode its umask gives (so an Everyone read entry) instead of
// the folder's inherited entries. Under Wine the bits for others show it.
TEST(EnsureInstallDirectory, EveryFolderItMakesIsClosedToOtherUsers) {
    TempDir dir;
    const std::wstring plain = dir / L"made plainly";
    ASSERT_TRUE(CreateDirectoryW(plain.c_str(), nullptr));
    const std::wstring parent = dir / L"Apps";
    const std::wstring target = parent + L"\\KoraVale";

    const Result<EnsuredInstallDirectory> made = ensure_install_directory(utf8(target));
    ASSERT_TRUE(made.ok()) << made.error().message;
    EXPECT_EQ(made->origin, InstallDirectoryOrigin::CreatedProtected) << made->why_unprotected;
    // A parent made on the way too: with the drive root's entries another
    // account could rename it away and put its own folders in its place.
    for (const std::wstring& folder : {target, parent}) {
        const std::optional<AccessList> list = read_access_list(folder);
        ASSERT_TRUE(list);
        EXPECT_FALSE(list->lets_other_users_in()) << list->sddl;
        EXPECT_TRUE(grants_full_control(*list, current_user_sid())) << list->sddl;
        EXPECT_TRUE(grants_full_control(*list, "SY")) << list->sddl;
        if (running_under_wine()) {
            const std::string mode = unix_mode(folder);
            ASSERT_EQ(mode.size(), 3u) << mode;
            EXPECT_EQ(mode.back(), '0') << "no permission bits for others: " << mode;
        } else {
            EXPECT_TRUE(list->protected_from_parent) << list->sddl;
            EXPECT_TRUE(grants_full_control(*list, "BA")) << list->sddl;
            EXPECT_EQ(list->entries.size(), 3u) << list->sddl;
        }
    }
    if (!running_under_wine()) {
        write_file(target + L"\\KoraVale.exe", "x");
        EXPECT_FALSE(read_access_list(target + L"\\KoraVale.exe")->lets_other_users_in());
    }

    const std::string plain_list = read_access_list(plain)->sddl;
    const std::string plain_mode = unix_mode(plain);
    const Result<EnsuredInstallDirectory> existing = ensure_install_directory(utf8(plain));
    ASSERT_TRUE(existing.ok());
    EXPECT_EQ(existing->origin, InstallDirectoryOrigin::Existed);
    EXPECT_EQ(read_access_list(plain)->sddl, plain_list) << "an existing folder is left as it is";
    EXPECT_EQ(unix_mode(plain), plain_mode);
}

TEST(EnsureInstallDirectory, ParentThatIsAFileGivesTheSystemsText) {
    TempDir dir;
    write_file(dir / L"blocker", "x");
    const std::string target = utf8(dir / L"blocker\\KoraVale");
    const std::string message = ensure_install_directory(target).error().message;
    const std::string expected_start = "创建安装目录 " + target + " 失败：";
    EXPECT_EQ(message.substr(0, expected_start.size()), expected_start) << message;
    // Windows reports the file in the way as "already exists" (183); Wine
    // stops at the path that cannot be entered (3).
    EXPECT_TRUE(ends_with(message, ". (os error 183)") || ends_with(message, ". (os error 3)")) << message;
}

// Wine lists a Unix link to a folder as a reparse point, as Windows does a
// junction; what it leads to may be changed by whoever owns the link.
TEST(ExamineInstallDirectory, ALinkIsTakenAsItselfAndNeverFollowed) {
    if (!running_under_wine()) GTEST_SKIP() << "the link is made on the Unix side";
    TempDir dir;
    ASSERT_TRUE(CreateDirectoryW((dir / L"target").c_str(), nullptr));
    ASSERT_TRUE(make_unix_symlink(dir / L"KoraVale", dir / L"target"));
    EXPECT_EQ(examine_install_directory(utf8(dir / L"KoraVale")).finding, DirectoryFinding::ReparsePoint);
    EXPECT_EQ(examine_install_directory(utf8(dir / L"target")).finding, DirectoryFinding::Closed);
}

}  // namespace
}  // namespace koravale
