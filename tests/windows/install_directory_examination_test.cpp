// What an existing install directory is found to be, read from a real
// (Wine) file system.

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "system/platform/wide_string.h"
#include "system/security/install_directory_examination.h"

namespace koravale {
namespace {

using namespace testing_support;

std::string utf8(const std::wstring& path) { return from_wide_lossy(path); }

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
