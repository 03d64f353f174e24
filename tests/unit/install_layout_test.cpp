#include "product/installation/install_layout.h"

#include <gtest/gtest.h>

namespace koravale {
namespace {

const UserFolders FOLDERS{
    .local_app_data = "C:\\Users\\a\\AppData\\Local",
    .programs = "C:\\Users\\a\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
    .desktop = "C:\\Users\\a\\Desktop",
};

TEST(JoinPath, PutsOneSeparatorBetween) {
    EXPECT_EQ(join_path("D:\\Apps", "KoraVale.exe"), "D:\\Apps\\KoraVale.exe");
    EXPECT_EQ(join_path("D:\\Apps\\", "KoraVale.exe"), "D:\\Apps\\KoraVale.exe");
    EXPECT_EQ(join_path("D:/Apps/", "KoraVale.exe"), "D:/Apps/KoraVale.exe");
    EXPECT_EQ(join_path("", "KoraVale.exe"), "KoraVale.exe");
    EXPECT_EQ(join_path("D:", "x"), "D:\\x");
}

TEST(InstallLayout, DerivesEveryPathFromOneDirectory) {
    const InstallLayout layout = make_install_layout("D:\\Apps\\KoraVale", FOLDERS);
    EXPECT_EQ(layout.install_dir, "D:\\Apps\\KoraVale");
    EXPECT_EQ(layout.app_exe, "D:\\Apps\\KoraVale\\KoraVale.exe");
    EXPECT_EQ(layout.uninstaller, "D:\\Apps\\KoraVale\\uninstall.exe");
    EXPECT_EQ(staging_path(layout.install_dir, "KoraVale.exe.new"), "D:\\Apps\\KoraVale\\KoraVale.exe.new");
    EXPECT_EQ(staging_path(layout.install_dir, "uninstall.exe.new"), "D:\\Apps\\KoraVale\\uninstall.exe.new");
    // The data directory hangs from the user's folder, whatever the install directory.
    EXPECT_EQ(layout.data_dir, "C:\\Users\\a\\AppData\\Local\\KoraVale");
    // Shortcuts lie directly in Programs and on the desktop: no product sub-folder.
    EXPECT_EQ(layout.start_menu_shortcut,
              "C:\\Users\\a\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\KoraVale.lnk");
    EXPECT_EQ(layout.desktop_shortcut, "C:\\Users\\a\\Desktop\\KoraVale.lnk");
}

TEST(InstallLayout, KeepsTheDirectoryAsGivenAndJoinsWithoutDoubling) {
    const InstallLayout layout = make_install_layout("D:\\Apps\\", FOLDERS);
    EXPECT_EQ(layout.install_dir, "D:\\Apps\\");
    EXPECT_EQ(layout.app_exe, "D:\\Apps\\KoraVale.exe");
}

TEST(InstallLayout, MissingShellFolderDropsOnlyItsShortcut) {
    UserFolders folders = FOLDERS;
    folders.desktop.reset();
    const InstallLayout layout = make_install_layout("D:\\Apps\\KoraVale", folders);
    EXPECT_FALSE(layout.desktop_shortcut.has_value());
    EXPECT_TRUE(layout.start_menu_shortcut.has_value());
    EXPECT_EQ(layout.data_dir, "C:\\Users\\a\\AppData\\Local\\KoraVale");

    folders.programs.reset();
    EXPECT_FALSE(make_install_layout("D:\\A", folders).start_menu_shortcut.has_value());
}

TEST(DefaultInstallDir, IsProgramsKoraValeUnderLocalAppData) {
    EXPECT_EQ(default_install_dir_under("C:\\Users\\a\\AppData\\Local"),
              "C:\\Users\\a\\AppData\\Local\\Programs\\KoraVale");
}

TEST(LocalAppData, PrefersTheKnownFolderThenTheVariableUnchanged) {
    EXPECT_EQ(choose_local_app_data("C:\\K", "C:\\E").value(), "C:\\K");
    EXPECT_EQ(choose_local_app_data(std::nullopt, " C:\\E\\ ").value(), " C:\\E\\ ");
}

TEST(LocalAppData, FailsWithItsMessageWhenBothAreMissing) {
    const Result<std::string> none = choose_local_app_data(std::nullopt, std::nullopt);
    ASSERT_FALSE(none.ok());
    EXPECT_EQ(none.error().message, "无法获取用户本地应用目录（LOCALAPPDATA）");
}

TEST(LocalAppData, EmptyTextsCountAsMissing) {
    // An empty folder would make the data directory relative to the current directory.
    EXPECT_EQ(choose_local_app_data("", "C:\\E").value(), "C:\\E");
    EXPECT_FALSE(choose_local_app_data("", "").ok());
}

struct UninstallerNameCase {
    const char* path;
    std::optional<std::string> dir;
};

class UninstallerDir : public testing::TestWithParam<UninstallerNameCase> {};

TEST_P(UninstallerDir, RecognisesTheUninstallerByFileNameInAnyAsciiCase) {
    EXPECT_EQ(uninstaller_dir_of(GetParam().path), GetParam().dir);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UninstallerDir,
    testing::Values(UninstallerNameCase{"D:\\Apps\\KoraVale\\uninstall.exe", "D:\\Apps\\KoraVale"},
                    UninstallerNameCase{"D:\\Apps\\KoraVale\\Uninstall.EXE", "D:\\Apps\\KoraVale"},
                    UninstallerNameCase{"\\\\?\\D:\\x\\UNINSTALL.exe", "\\\\?\\D:\\x"},
                    UninstallerNameCase{"C:\\uninstall.exe", "C:\\"},
                    UninstallerNameCase{"D:\\Apps\\KoraValeSetup.exe", std::nullopt},
                    UninstallerNameCase{"D:\\uninstall.exe\\setup.exe", std::nullopt},
                    UninstallerNameCase{"D:\\Apps\\uninstall.exe.new", std::nullopt},
                    UninstallerNameCase{"D:\\Apps\\uninstall.ex", std::nullopt},
                    UninstallerNameCase{"uninstall.exe", std::nullopt}));

}  // namespace
}  // namespace koravale
