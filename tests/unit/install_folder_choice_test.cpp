#include "product/installation/install_folder_choice.h"

#include <gtest/gtest.h>

#include <set>

namespace koravale {
namespace {

struct AppendCase {
    const char* picked;
    const char* result;
};

class AppendProductFolder : public ::testing::TestWithParam<AppendCase> {};

TEST_P(AppendProductFolder, GivesTheInstallDirectory) {
    EXPECT_EQ(append_product_folder(GetParam().picked), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Cases, AppendProductFolder,
                         ::testing::Values(AppendCase{"", ""}, AppendCase{"D:\\", "D:\\KoraVale"},
                                           AppendCase{"D:\\Apps", "D:\\Apps\\KoraVale"},
                                           AppendCase{"D:\\Apps\\KoraVale", "D:\\Apps\\KoraVale"},
                                           AppendCase{"D:\\Apps\\koravale", "D:\\Apps\\koravale"},
                                           AppendCase{"D:\\KORAVALE", "D:\\KORAVALE"},
                                           AppendCase{"D:\\Apps\\KoraVale2", "D:\\Apps\\KoraVale2\\KoraVale"},
                                           AppendCase{"D:\\Apps\\MyKoraVale", "D:\\Apps\\MyKoraVale\\KoraVale"},
                                           AppendCase{"D:\\播放器", "D:\\播放器\\KoraVale"},
                                           AppendCase{"KoraVale", "KoraVale"},
                                           AppendCase{"\\\\server\\share", "\\\\server\\share\\KoraVale"}));

struct NearestCase {
    const char* path;
    std::set<std::string> existing;
    std::optional<std::string> nearest;
};

class NearestExistingFolder : public ::testing::TestWithParam<NearestCase> {};

TEST_P(NearestExistingFolder, WalksUpToAnExistingDirectory) {
    const NearestCase& c = GetParam();
    const auto exists = [&c](const std::string& path) { return c.existing.count(path) > 0; };
    EXPECT_EQ(nearest_existing_folder(c.path, exists), c.nearest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NearestExistingFolder,
    ::testing::Values(NearestCase{"D:\\Games\\New\\Deep", {"D:\\", "D:\\Games"}, "D:\\Games"},
                      NearestCase{"D:\\Games", {"D:\\Games"}, "D:\\Games"},
                      NearestCase{"D:\\Games\\New", {"D:\\"}, "D:\\"},
                      NearestCase{"X:\\Missing\\Folder", {"D:\\"}, std::nullopt},
                      NearestCase{"D:\\", {}, std::nullopt},
                      NearestCase{"", {""}, std::nullopt},
                      NearestCase{"Apps\\KoraVale", {}, std::nullopt},
                      NearestCase{"\\\\server\\share\\Apps", {"\\\\server\\share"}, "\\\\server\\share"},
                      NearestCase{"\\\\server\\share", {"\\\\server"}, std::nullopt}));

}  // namespace
}  // namespace koravale
