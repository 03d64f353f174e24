#include "checks/install_dir_rules.h"

#include <gtest/gtest.h>

namespace koravale {
namespace {

constexpr const char* DATA_DIR = "C:\\Users\\u\\AppData\\Local\\KoraVale";
constexpr const char* ABSOLUTE = "安装目录必须是本地磁盘的绝对路径（例如 D:\\KoraVale）";
constexpr const char* TOO_LONG = "安装目录路径过长，请选择较短的路径";
constexpr const char* BAD_SEGMENT = "安装目录包含无效路径段（不允许 . 或 ..），请重新选择";
constexpr const char* TRAILING = "安装目录中的文件夹名不能以空格或点结尾";
constexpr const char* SPECIAL = "安装目录包含不允许的特殊字符（* ? \" < > | :）";
constexpr const char* DATA = "不能安装到个人数据目录（%LOCALAPPDATA%\\KoraVale）内，请选择其他目录";

// A valid path of exactly `bytes` bytes: D:\ then folders of x.
std::string path_of_length(std::size_t bytes) {
    std::string path = "D:\\";
    while (path.size() < bytes) path += (path.size() % 50 == 0) ? '\\' : 'x';
    if (path.back() == '\\') path.back() = 'y';
    return path;
}

struct RuleCase {
    const char* name;
    std::string input;
    std::string data_dir;
    std::string outcome;  // the canonical directory, or the message
};

class ValidateInstallDir : public testing::TestWithParam<RuleCase> {};

TEST_P(ValidateInstallDir, AcceptsCanonicallyOrRefusesWithTheFirstRuleBroken) {
    const Result<std::string> result = validate_install_dir(GetParam().input, GetParam().data_dir);
    EXPECT_EQ(result.ok() ? result.value() : result.error().message, GetParam().outcome);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValidateInstallDir,
    testing::Values(
        RuleCase{"quoted_slashes_spaces", "  \"d:/Games//KoraVale/\"  ", DATA_DIR, "D:\\Games\\KoraVale"},
        RuleCase{"blank", " \u3000 ", DATA_DIR, "请选择或输入安装目录"},
        RuleCase{"only_quotes", "\"\"", DATA_DIR, "请选择或输入安装目录"},
        RuleCase{"bare_drive", "d:", DATA_DIR, "不能直接安装到磁盘根目录，请指定子文件夹（例如 D:\\KoraVale）"},
        RuleCase{"root_with_extra_backslashes", "D:\\\\\\", DATA_DIR,
                 "不能直接安装到磁盘根目录，请指定子文件夹（例如 D:\\KoraVale）"},
        RuleCase{"drive_relative", "D:KoraVale", DATA_DIR, ABSOLUTE},
        RuleCase{"relative", "KoraVale", DATA_DIR, ABSOLUTE},
        RuleCase{"network", "\\\\server\\share\\KoraVale", DATA_DIR, ABSOLUTE},
        RuleCase{"device", "\\\\?\\D:\\KoraVale", DATA_DIR, ABSOLUTE},
        RuleCase{"exactly_220", path_of_length(220), DATA_DIR, path_of_length(220)},
        RuleCase{"length_221", path_of_length(221), DATA_DIR, TOO_LONG},
        RuleCase{"length_before_segments", path_of_length(221) + "\\..", DATA_DIR, TOO_LONG},
        RuleCase{"dot_dot", "D:\\a\\..\\b", DATA_DIR, BAD_SEGMENT},
        RuleCase{"dot", "D:\\.\\b", DATA_DIR, BAD_SEGMENT},
        RuleCase{"trailing_dot", "D:\\a.\\b", DATA_DIR, TRAILING},
        RuleCase{"trailing_space", "D:\\a \\b", DATA_DIR, TRAILING},
        RuleCase{"leading_space_segment", "D:\\ a\\b", DATA_DIR, "D:\\ a\\b"},
        RuleCase{"inner_dots_and_chinese", "D:\\播放器\\v1.4.6", DATA_DIR, "D:\\播放器\\v1.4.6"},
        RuleCase{"question_mark", "D:\\a?b", DATA_DIR, SPECIAL},
        RuleCase{"colon", "D:\\a:b", DATA_DIR, SPECIAL},
        RuleCase{"bar", "D:\\a|b", DATA_DIR, SPECIAL},
        RuleCase{"tab", "D:\\a\tb", DATA_DIR, SPECIAL},
        RuleCase{"inner_quote", "D:\\a\"b", DATA_DIR, SPECIAL},
        // One pass of trimming, before the trailing backslashes go: what
        // they uncover is judged by the segment rules.
        RuleCase{"space_before_trailing_backslash", "D:\\x \\", DATA_DIR, TRAILING},
        RuleCase{"ideographic_space_before_trailing_backslash", "D:\\x\u3000\\", DATA_DIR, TRAILING},
        RuleCase{"no_break_space_inside_path", "D:\\x\u00a0\\y", DATA_DIR, TRAILING},
        RuleCase{"segment_of_white_space_only", "d:/\u3000/", DATA_DIR, TRAILING},
        RuleCase{"tab_ending_a_segment", "D:\\tab\t\\", DATA_DIR, TRAILING},
        RuleCase{"quote_before_trailing_backslash", "D:\\x\"\\", DATA_DIR, SPECIAL},
        RuleCase{"space_after_drive", "d: \\", DATA_DIR, ABSOLUTE},
        RuleCase{"first_segment_fault_wins", "D:\\a.\\b?\\..", DATA_DIR, TRAILING},
        RuleCase{"data_dir_other_case", "c:\\users\\U\\appdata\\local\\koravale", DATA_DIR, DATA},
        RuleCase{"below_data_dir", "C:\\Users\\u\\AppData\\Local\\KoraVale\\bin", DATA_DIR, DATA},
        RuleCase{"beside_data_dir", "C:\\Users\\u\\AppData\\Local\\KoraValeOld", DATA_DIR,
                 "C:\\Users\\u\\AppData\\Local\\KoraValeOld"},
        RuleCase{"data_dir_given_loosely", "C:\\Users\\u\\AppData\\Local\\KoraVale\\x",
                 " c:/Users/u/AppData/Local/KoraVale/ ", DATA},
        RuleCase{"no_data_dir", "C:\\Users\\u\\AppData\\Local\\KoraVale", "",
                 "C:\\Users\\u\\AppData\\Local\\KoraVale"}),
    [](const testing::TestParamInfo<RuleCase>& info) { return info.param.name; });

TEST(ValidateInstallDir, ChineseNamesReachTheLimitAtAThirdOfTheCharacters) {
    std::string path = "D:\\";
    while (path.size() + 3 <= MAX_INSTALL_DIR_BYTES) path += "播";  // three bytes each
    ASSERT_EQ(path.size(), 219u);
    EXPECT_TRUE(validate_install_dir(path, "").ok());
    EXPECT_EQ(validate_install_dir(path + "放", "").error().message, TOO_LONG);
}

TEST(NormalizeInstallDir, TrimsAndUnquotesOnceBeforeTheBackslashesGo) {
    for (const char* text : {"  \"d:/Games//KoraVale/\"  ", "d:", "\\\\\\server\\\\share", "\u00e9://x//", "D:\\\\\\",
                             "\"\" a \"\"", "//", "x:/"}) {
        const std::string once = normalize_install_dir(text);
        EXPECT_EQ(normalize_install_dir(once), once) << text;
    }
    EXPECT_EQ(normalize_install_dir("\\\\\\server\\\\share\\\\"), "\\\\server\\share");
    EXPECT_EQ(normalize_install_dir("\"  D:\\a \" \""), "D:\\a \"");
    EXPECT_EQ(normalize_install_dir("D:\\x \\"), "D:\\x ");
    EXPECT_EQ(normalize_install_dir("d: \\"), "D: ");
    EXPECT_EQ(normalize_install_dir("D:\\a\"b\""), "D:\\a\"b");  // a quote inside stays
}

TEST(DriveRootOf, GivesTheRootOfLocalPathsOnly) {
    EXPECT_EQ(drive_root_of("   d:/x/"), "D:\\");
    EXPECT_EQ(drive_root_of("e:"), "E:\\");
    EXPECT_EQ(drive_root_of("\\\\server\\share"), std::nullopt);
    EXPECT_EQ(drive_root_of(""), std::nullopt);
    EXPECT_EQ(drive_root_of("D:x"), std::nullopt);
}

TEST(SameDirectory, ComparesCanonicalFormsInAnyAsciiCase) {
    EXPECT_TRUE(same_directory("C:\\A\\", "c:/a"));
    EXPECT_FALSE(same_directory("", ""));
    EXPECT_FALSE(same_directory("C:\\A", "C:\\AB"));
    EXPECT_FALSE(same_directory("C:\\\u00c9", "C:\\\u00e9"));  // non-ASCII letters must match exactly
}

}  // namespace
}  // namespace koravale
