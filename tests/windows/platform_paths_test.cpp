// Known folders, layouts and the uninstaller's name, in a real Wine prefix.

#include <gtest/gtest.h>

#include "common/text.h"
#include "product/identity/product_constants.h"
#include "support/test_support.h"
#include "system/platform/wide_string.h"
#include "system/shell/install_paths.h"
#include "system/shell/known_folders.h"

namespace koravale {
namespace {

using namespace testing_support;

bool ends_with_ignoring_case(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && ascii_iequals(std::string_view(text).substr(text.size() - tail.size()), tail);
}

bool is_directory(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(to_wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(KnownFolders, FindTheUsersExistingFolders) {
    const auto local = known_folder_path(FOLDERID_LocalAppData);
    const auto programs = known_folder_path(FOLDERID_Programs);
    const auto desktop = known_folder_path(FOLDERID_Desktop);
    ASSERT_TRUE(local && programs && desktop);
    EXPECT_TRUE(ends_with_ignoring_case(*local, "\\AppData\\Local")) << *local;
    EXPECT_TRUE(ends_with_ignoring_case(*programs, "\\Start Menu\\Programs")) << *programs;
    EXPECT_TRUE(ends_with_ignoring_case(*desktop, "\\Desktop")) << *desktop;
    for (const std::string& folder : {*local, *programs, *desktop}) EXPECT_TRUE(is_directory(folder)) << folder;
}

TEST(KnownFolders, LocalAppDataAgreesWithTheEnvironment) {
    const Result<std::string> local = local_app_data_dir();
    ASSERT_TRUE(local.ok()) << local.error().message;
    EXPECT_EQ(*local, known_folder_path(FOLDERID_LocalAppData));
    EXPECT_TRUE(ascii_iequals(*local, environment_variable("LOCALAPPDATA").value_or("")));
}

TEST(EnvironmentVariable, TreatsUnsetEmptyAndBrokenValuesAsMissing) {
    const wchar_t* name = L"KORAVALE_TEST_VARIABLE";
    SetEnvironmentVariableW(name, nullptr);
    EXPECT_EQ(environment_variable("KORAVALE_TEST_VARIABLE"), std::nullopt);
    SetEnvironmentVariableW(name, L"");
    EXPECT_EQ(environment_variable("KORAVALE_TEST_VARIABLE"), std::nullopt);
    SetEnvironmentVariableW(name, L"C:\\\u7528\u6237\\AppData");
    EXPECT_EQ(environment_variable("KORAVALE_TEST_VARIABLE"), "C:\\\u7528\u6237\\AppData");
    const std::wstring long_value(5000, L'x');  // longer than the first buffer
    SetEnvironmentVariableW(name, long_value.c_str());
    EXPECT_EQ(environment_variable("KORAVALE_TEST_VARIABLE"), std::string(5000, 'x'));
    const wchar_t broken[] = {L'C', L':', static_cast<wchar_t>(0xD800), L'\0'};
    SetEnvironmentVariableW(name, broken);
    EXPECT_EQ(environment_variable("KORAVALE_TEST_VARIABLE"), std::nullopt);
    SetEnvironmentVariableW(name, nullptr);
}

TEST(LayoutFor, HangsEveryPathFromThePrefixFolders) {
    const std::string local = local_app_data_dir().value();
    const Result<InstallLayout> layout = layout_for("D:\\Apps\\KoraVale");
    ASSERT_TRUE(layout.ok());
    EXPECT_EQ(layout->install_dir, "D:\\Apps\\KoraVale");
    EXPECT_EQ(layout->app_exe, "D:\\Apps\\KoraVale\\KoraVale.exe");
    EXPECT_EQ(layout->uninstaller, "D:\\Apps\\KoraVale\\uninstall.exe");
    EXPECT_EQ(layout->data_dir, local + "\\KoraVale");
    EXPECT_EQ(layout->start_menu_shortcut, *known_folder_path(FOLDERID_Programs) + "\\KoraVale.lnk");
    EXPECT_EQ(layout->desktop_shortcut, *known_folder_path(FOLDERID_Desktop) + "\\KoraVale.lnk");
    EXPECT_EQ(default_install_dir().value(), local + "\\Programs\\KoraVale");
}

struct ProbeCase {
    const wchar_t* file_name;
    bool is_uninstaller;
};

class RunningUninstallerDir : public testing::TestWithParam<ProbeCase> {};

TEST_P(RunningUninstallerDir, AnswersForTheProgramsOwnFileName) {
    TempDir dir;
    const std::wstring copy = dir / GetParam().file_name;
    ASSERT_TRUE(CopyFileW(build_file("KORAVALE_PROBE_EXE").c_str(), copy.c_str(), TRUE));
    const std::wstring answer_file = dir / L"answer.txt";

    auto probe = ChildProcess::start(quoted(copy) + L" " + quoted(answer_file));
    ASSERT_TRUE(probe);
    ASSERT_TRUE(probe->wait(30000));
    ASSERT_EQ(probe->exit_code(), 0u);
    EXPECT_EQ(read_file(answer_file), GetParam().is_uninstaller ? from_wide_lossy(dir.path()) : "none");
}

INSTANTIATE_TEST_SUITE_P(Names, RunningUninstallerDir,
                         testing::Values(ProbeCase{L"uninstall.exe", true}, ProbeCase{L"Uninstall.EXE", true},
                                         ProbeCase{L"KoraValeSetup.exe", false},
                                         ProbeCase{L"uninstall.exe.exe", false}));

}  // namespace
}  // namespace koravale
