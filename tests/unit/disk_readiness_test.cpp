#include "checks/disk_readiness.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>

namespace koravale {
namespace {

// A pretend machine: drive roots that exist, and what each reports as free.
struct FakeDrives {
    std::map<std::string, bool> present;
    std::map<std::string, std::uint64_t> free_bytes;
    mutable int queries = 0;

    DiskQueries queries_for() const {
        return {[this](const std::string& path) {
                    ++queries;
                    return present.contains(path) && present.at(path);
                },
                [this](const std::string& root) -> std::optional<std::uint64_t> {
                    ++queries;
                    if (!free_bytes.contains(root)) return std::nullopt;
                    return free_bytes.at(root);
                }};
    }
};

constexpr std::uint64_t IMAGE = 7'969'280;
constexpr std::uint64_t REQUIRED = 20'552'192;

std::string outcome(const Status& status) { return status.ok() ? "ok" : status.error().message; }

TEST(RequiredInstallSpace, AddsTheMarginAndSaturates) {
    EXPECT_EQ(required_install_space(IMAGE), REQUIRED);
    EXPECT_EQ(required_install_space(0), 12'582'912u);
    constexpr std::uint64_t MAX = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(required_install_space(MAX - 12'582'912), MAX);
    EXPECT_EQ(required_install_space(MAX - 12'582'911), MAX);
    EXPECT_EQ(required_install_space(MAX), MAX);
}

TEST(CheckInstallDisk, FreeSpaceExactlyTheRequirementPassesOneByteLessFails) {
    FakeDrives drives{{{"D:\\", true}}, {{"D:\\", REQUIRED}}};
    EXPECT_EQ(outcome(check_install_disk("D:\\KoraVale", IMAGE, drives.queries_for())), "ok");
    drives.free_bytes["D:\\"] = REQUIRED - 1;
    EXPECT_EQ(outcome(check_install_disk("D:\\KoraVale", IMAGE, drives.queries_for())),
              "磁盘 D:\\ 剩余空间不足（当前可用 20 MB，至少需要 20 MB），请更换其他磁盘");
}

TEST(CheckInstallDisk, MissingRootFailsEvenWhenFreeSpaceWouldBeKnown) {
    FakeDrives drives{{{"E:\\", false}}, {{"E:\\", 1ull << 40}}};
    EXPECT_EQ(outcome(check_install_disk("E:\\Apps\\KoraVale", IMAGE, drives.queries_for())),
              "磁盘 E:\\ 不存在或未就绪，请重新选择安装目录");
}

TEST(CheckInstallDisk, UnknownFreeSpacePassesSilently) {
    FakeDrives drives{{{"D:\\", true}}, {}};
    EXPECT_EQ(outcome(check_install_disk("D:\\KoraVale", IMAGE, drives.queries_for())), "ok");
}

TEST(CheckInstallDisk, MissingPayloadStillNeedsTheMargin) {
    FakeDrives drives{{{"D:\\", true}}, {{"D:\\", 1'000'000}}};
    EXPECT_EQ(outcome(check_install_disk("D:\\KoraVale", 0, drives.queries_for())),
              "磁盘 D:\\ 剩余空间不足（当前可用 977 KB，至少需要 12 MB），请更换其他磁盘");
}

TEST(CheckInstallDisk, ASaturatedRequirementFailsOnAnyDrive) {
    FakeDrives drives{{{"D:\\", true}}, {{"D:\\", std::numeric_limits<std::uint64_t>::max() - 1}}};
    const Status status = check_install_disk("D:\\KoraVale", std::numeric_limits<std::uint64_t>::max() - 5,
                                             drives.queries_for());
    EXPECT_FALSE(status.ok());
}

TEST(CheckInstallDisk, NoDriveRootAsksNothing) {
    FakeDrives drives;
    EXPECT_EQ(outcome(check_install_disk("relative\\dir", IMAGE, drives.queries_for())), "ok");
    EXPECT_EQ(drives.queries, 0);
}

struct StatusCase {
    const char* typed;
    const char* status;
};

class DirectoryStatus : public testing::TestWithParam<StatusCase> {};

TEST_P(DirectoryStatus, ReportsOnlyTheDrive) {
    const FakeDrives drives{{{"D:\\", true}}, {{"D:\\", 1'342'177'280}}};
    EXPECT_EQ(describe_directory_status(GetParam().typed, drives.queries_for()), GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DirectoryStatus,
    testing::Values(StatusCase{"d:", "磁盘 D:\\ 可用 1.2 GB（个人数据与缓存保留在用户目录）"},
                    StatusCase{" \"d:/anything\" ", "磁盘 D:\\ 可用 1.2 GB（个人数据与缓存保留在用户目录）"},
                    StatusCase{"D:\\what?\\is|this", "磁盘 D:\\ 可用 1.2 GB（个人数据与缓存保留在用户目录）"},
                    StatusCase{"Q:\\KoraVale", "磁盘 Q:\\ 不可用或未就绪，请重新选择安装目录"},
                    StatusCase{"KoraVale", "请输入有效的本地磁盘绝对路径（例如 D:\\KoraVale）"},
                    StatusCase{"", "请输入有效的本地磁盘绝对路径（例如 D:\\KoraVale）"},
                    StatusCase{"\\\\server\\share", "请输入有效的本地磁盘绝对路径（例如 D:\\KoraVale）"}));

}  // namespace
}  // namespace koravale
