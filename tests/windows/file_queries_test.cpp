// Drive and path queries against Wine's real drives: C:, a drive letter with
// nothing behind it, and Q:, a tmpfs of known size.

#include <gtest/gtest.h>

#include <cstdlib>

#include "checks/disk_readiness.h"
#include "support/test_support.h"
#include "system/files/file_queries.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale {
namespace {

using namespace testing_support;

std::string tmpfs_root() { return std::string(std::getenv("KORAVALE_TMPFS_DRIVE")) + ":\\"; }
std::uint64_t tmpfs_bytes() { return std::strtoull(std::getenv("KORAVALE_TMPFS_BYTES"), nullptr, 10); }

// No prefix links K: to anything unless a test does.
constexpr const char* MISSING_ROOT = "K:\\";

TEST(PathExists, SeesFilesAndFoldersButNothingElse) {
    TempDir dir;
    const std::wstring file = dir / L"节目单.m3u";
    ASSERT_TRUE(CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));
    const std::string utf8_dir = from_wide_lossy(dir.path());

    EXPECT_TRUE(path_exists(utf8_dir));
    EXPECT_TRUE(path_exists(from_wide_lossy(file)));
    EXPECT_TRUE(path_exists("C:\\"));
    EXPECT_FALSE(path_exists(utf8_dir + "\\absent"));
    EXPECT_FALSE(path_exists(utf8_dir + "\\absent\\deeper"));
    EXPECT_FALSE(path_exists(MISSING_ROOT));
    EXPECT_FALSE(path_exists(""));
}

TEST(PathExists, SeesAFileAnotherProgramHoldsWithoutSharing) {
    TempDir dir;
    const std::wstring file = dir / L"locked.bin";
    UniqueFileHandle held(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_TRUE(path_exists(from_wide_lossy(file)));
}

// Links are followed, as the folder picker's start folder needs: a dangling
// link to a folder is none, a link to one is one. On Windows the attributes
// of a dangling link still say "directory"; Wine's Unix links have no such
// attributes, so under Wine this shows the outcome, not that difference.
TEST(IsExistingDirectory, FollowsLinks) {
    TempDir dir;
    const std::wstring folder = dir / L"Games";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    write_file(dir / L"file.txt", "x");
    ASSERT_TRUE(make_unix_symlink(dir / L"to-games", folder));
    const std::wstring gone = dir / L"gone";
    ASSERT_TRUE(CreateDirectoryW(gone.c_str(), nullptr));
    ASSERT_TRUE(make_unix_symlink(dir / L"to-gone", gone));
    ASSERT_TRUE(RemoveDirectoryW(gone.c_str()));

    EXPECT_TRUE(is_existing_directory(from_wide_lossy(folder)));
    EXPECT_TRUE(is_existing_directory(from_wide_lossy(dir / L"to-games")));
    EXPECT_FALSE(is_existing_directory(from_wide_lossy(dir / L"to-gone")));
    EXPECT_FALSE(is_existing_directory(from_wide_lossy(dir / L"file.txt")));
    EXPECT_FALSE(is_existing_directory(from_wide_lossy(dir / L"absent")));
}

TEST(QueryFreeSpace, ReadsTheFreeBytesOfTheDrive) {
    EXPECT_GT(query_free_space("C:\\").value_or(0), 0u);
    EXPECT_EQ(query_free_space(tmpfs_root()), tmpfs_bytes());
    EXPECT_EQ(query_free_space(MISSING_ROOT), std::nullopt);
}

TEST(CheckInstallDisk, RealDriveAtTheExactBoundary) {
    const std::optional<std::uint64_t> free_bytes = query_free_space(tmpfs_root());
    ASSERT_TRUE(free_bytes && *free_bytes > INSTALL_SPACE_MARGIN);
    // An image that needs exactly what Q: has free, and one byte more.
    const std::uint64_t fitting_image = *free_bytes - INSTALL_SPACE_MARGIN;
    const std::string dir = tmpfs_root() + "KoraVale";
    EXPECT_TRUE(check_install_disk(dir, fitting_image, platform_disk_queries()).ok());
    const Status too_big = check_install_disk(dir, fitting_image + 1, platform_disk_queries());
    ASSERT_FALSE(too_big.ok());
    EXPECT_EQ(too_big.error().message,
              "磁盘 " + tmpfs_root() + " 剩余空间不足（当前可用 16 MB，至少需要 16 MB），请更换其他磁盘");
}

TEST(CheckInstallDisk, MissingDriveLetterIsRefused) {
    const Status status = check_install_disk("K:\\KoraVale", 1000, platform_disk_queries());
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().message, "磁盘 K:\\ 不存在或未就绪，请重新选择安装目录");
    EXPECT_EQ(describe_directory_status("k:/KoraVale", platform_disk_queries()),
              "磁盘 K:\\ 不可用或未就绪，请重新选择安装目录");
    EXPECT_EQ(describe_directory_status(tmpfs_root() + "Any?Name", platform_disk_queries()),
              "磁盘 " + tmpfs_root() + " 可用 16 MB（个人数据与缓存保留在用户目录）");
}

}  // namespace
}  // namespace koravale
