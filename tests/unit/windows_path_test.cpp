#include "common/windows_path.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>
#include <utility>

namespace koravale {
namespace {

// One rule for every caller: the folder a path's last component lies in,
// whichever separators it uses; roots and bare names have none.
TEST(ParentPath, KeepsADriveRootsSeparatorAndKnowsEveryRoot) {
    const std::pair<std::string_view, std::optional<std::string_view>> cases[] = {
        {"D:\\Apps\\KoraVale", "D:\\Apps"}, {"D:\\Apps\\KoraVale\\\\", "D:\\Apps"},
        {"D:/Apps//KoraVale", "D:/Apps"},   {"D:\\KoraVale", "D:\\"},
        {"D:KoraVale", "D:"},              {"\\KoraVale", "\\"},
        {"\\\\server\\share\\KoraVale", "\\\\server\\share"},
        {"D:\\", std::nullopt},           {"\\", std::nullopt},
        {"\\\\server\\share", std::nullopt}, {"\\\\server", std::nullopt},
        {"KoraVale", std::nullopt},        {"", std::nullopt},
    };
    for (const auto& [path, parent] : cases) EXPECT_EQ(parent_path(path), parent) << path;
    EXPECT_EQ(parent_path(std::wstring_view(L"C:\\Users\\Ann\\log.txt")), std::wstring_view(L"C:\\Users\\Ann"));
}

TEST(SameCanonicalPath, ComparesComponentsExactly) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    for (const Case& c : {
             Case{"\\\\?\\C:\\Apps\\KoraVale", "\\\\?\\C:\\Apps\\KoraVale", true},
             Case{"\\\\?\\C:\\Apps\\KoraVale\\", "\\\\?\\C:\\Apps\\\\KoraVale", true},
             Case{"C:/Apps/KoraVale", "C:\\Apps\\KoraVale", true},
             Case{"\\\\?\\C:\\Apps\\KoraVale", "\\\\?\\C:\\apps\\koravale", false},  // no case folding
             Case{"\\\\?\\C:\\Apps\\KoraVale", "\\\\?\\C:\\Apps", false},
             Case{"\\Apps", "Apps", false},
             Case{"", "", true},
         }) {
        EXPECT_EQ(same_canonical_path(c.a, c.b), c.same) << c.a << " | " << c.b;
    }
}

TEST(IsWithinCanonicalPath, TakesWholeComponentsInAnyAsciiCase) {
    struct Case {
        const char* path;
        const char* folder;
        bool within;
    };
    for (const Case& c : {
             Case{"\\\\?\\C:\\Users\\Ann\\AppData\\Local\\Programs\\KoraVale", "\\\\?\\C:\\Users\\Ann", true},
             Case{"\\\\?\\C:\\users\\ANN\\Apps", "\\\\?\\C:\\Users\\Ann\\", true},
             Case{"\\\\?\\C:\\Users\\Ann", "\\\\?\\C:\\Users\\Ann", true},  // the profile itself
             Case{"\\\\?\\C:\\Users\\Anna\\KoraVale", "\\\\?\\C:\\Users\\Ann", false},
             Case{"\\\\?\\C:\\Users", "\\\\?\\C:\\Users\\Ann", false},
             Case{"\\\\?\\D:\\Users\\Ann\\KoraVale", "\\\\?\\C:\\Users\\Ann", false},
             Case{"\\\\?\\C:\\Apps\\KoraVale", "", false},
         }) {
        EXPECT_EQ(is_within_canonical_path(c.path, c.folder), c.within) << c.path << " | " << c.folder;
    }
}

}  // namespace
}  // namespace koravale
