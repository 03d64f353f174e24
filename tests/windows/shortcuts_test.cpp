// Shortcuts written through the shell's link object and read back through it.

#include <gtest/gtest.h>

#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <thread>

#include "support/shortcut_reader.h"
#include "support/test_support.h"
#include "system/platform/com_apartment.h"
#include "system/platform/wide_string.h"
#include "system/shell/shortcuts.h"

namespace koravale {
namespace {

using namespace testing_support;
using Microsoft::WRL::ComPtr;

std::string utf8(const std::wstring& text) { return from_wide_lossy(text); }

class Shortcuts : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(apartment_.joined());
        ASSERT_TRUE(CreateDirectoryW((dir_ / L"Apps 播放").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(install_dir_.c_str(), nullptr));
        write_file(app_exe_, "");
        ASSERT_TRUE(CreateDirectoryW((dir_ / L"Desktop").c_str(), nullptr));
        layout_.install_dir = utf8(install_dir_);
        layout_.app_exe = utf8(app_exe_);
        layout_.uninstaller = utf8(install_dir_ + L"\\uninstall.exe");
        // The Programs folder does not exist yet: writing the shortcut makes it.
        layout_.start_menu_shortcut = utf8(dir_ / L"Start Menu\\Programs\\KoraVale.lnk");
        layout_.desktop_shortcut = utf8(dir_ / L"Desktop\\KoraVale.lnk");
    }

    void expect_points_at_install(const std::string& shortcut) const {
        const auto contents = read_shortcut(shortcut);
        ASSERT_TRUE(contents) << shortcut;
        EXPECT_EQ(contents->target, app_exe_);
        EXPECT_EQ(contents->working_dir, install_dir_);
        EXPECT_EQ(contents->icon, app_exe_);
        EXPECT_EQ(contents->icon_index, 0);
        EXPECT_EQ(contents->description, L"KoraVale 播放器");
        EXPECT_EQ(contents->arguments, L"");
    }

    ComApartment apartment_{COINIT_APARTMENTTHREADED};
    TempDir dir_;
    const std::wstring install_dir_ = dir_ / L"Apps 播放\\KoraVale";
    const std::wstring app_exe_ = install_dir_ + L"\\KoraVale.exe";
    InstallLayout layout_;
};

TEST_F(Shortcuts, HoldTargetWorkingDirectoryIconAndDescriptionOnly) {
    const Status created = create_shortcut(*layout_.start_menu_shortcut, layout_.app_exe, layout_.install_dir);
    ASSERT_TRUE(created.ok()) << created.error().message;
    expect_points_at_install(*layout_.start_menu_shortcut);
}

TEST_F(Shortcuts, ASaveThatFailsSaysSo) {
    // A file where the shortcut's folder should be: the folder cannot be made.
    write_file(dir_ / L"blocker", "");
    const Status created = create_shortcut(utf8(dir_ / L"blocker\\KoraVale.lnk"), layout_.app_exe, layout_.install_dir);
    ASSERT_FALSE(created.ok());
    EXPECT_TRUE(created.error().message.starts_with("保存快捷方式失败：")) << created.error().message;
    EXPECT_TRUE(created.error().message.ends_with(")")) << created.error().message;
}

TEST_F(Shortcuts, AThreadOutsideComCannotMakeTheLinkObject) {
    std::optional<Status> created;
    std::thread([&] { created = create_shortcut(*layout_.start_menu_shortcut, layout_.app_exe, layout_.install_dir); })
        .join();
    ASSERT_TRUE(created && !created->ok());
    EXPECT_TRUE(created->error().message.starts_with("创建快捷方式对象失败：")) << created->error().message;
    // CO_E_NOTINITIALIZED; Wine has no message for it, so the code stands alone there.
    EXPECT_NE(created->error().message.find("0x800401F0"), std::string::npos) << created->error().message;
    EXPECT_FALSE(file_exists(to_wide(*layout_.start_menu_shortcut)));
}

struct DesktopCase {
    const char* name;
    bool wanted;
    bool location_changed;
    bool existing;  // a desktop shortcut of the former installation
    bool points_at_install_afterwards;
};

class DesktopShortcut : public Shortcuts, public testing::WithParamInterface<DesktopCase> {};

TEST_P(DesktopShortcut, FollowsTheInstallRules) {
    const DesktopCase& c = GetParam();
    const std::wstring former_exe = dir_ / L"Former\\KoraVale.exe";
    if (c.existing) {
        ASSERT_TRUE(create_shortcut(*layout_.desktop_shortcut, utf8(former_exe), utf8(dir_ / L"Former")).ok());
    }

    create_install_shortcuts(layout_, c.wanted, c.location_changed);

    expect_points_at_install(*layout_.start_menu_shortcut);
    if (c.points_at_install_afterwards) {
        expect_points_at_install(*layout_.desktop_shortcut);
    } else if (c.existing) {
        const auto contents = read_shortcut(*layout_.desktop_shortcut);
        ASSERT_TRUE(contents) << "an unwanted shortcut is left, not deleted";
        EXPECT_EQ(contents->target, former_exe);
    } else {
        EXPECT_FALSE(file_exists(to_wide(*layout_.desktop_shortcut)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DesktopShortcut,
    testing::Values(DesktopCase{"Wanted", true, false, false, true},
                    DesktopCase{"WantedReplacesTheFormer", true, true, true, true},
                    DesktopCase{"UnwantedIsNotCreated", false, false, false, false},
                    DesktopCase{"UnwantedMovesWithTheInstallation", false, true, true, true},
                    DesktopCase{"UnwantedMissingStaysMissingAfterAMove", false, true, false, false},
                    DesktopCase{"UnwantedSameLocationIsLeftAlone", false, false, true, false}),
    [](const testing::TestParamInfo<DesktopCase>& info) { return std::string(info.param.name); });

TEST_F(Shortcuts, RemovalDeletesTheTwoFilesOnly) {
    create_install_shortcuts(layout_, true, false);
    const std::wstring desktop = to_wide(*layout_.desktop_shortcut);
    ASSERT_TRUE(file_exists(desktop));
    const std::wstring neighbour = dir_ / L"Desktop\\Other.lnk";
    write_file(neighbour, "");

    remove_shortcuts(layout_);

    EXPECT_FALSE(file_exists(to_wide(*layout_.start_menu_shortcut)));
    EXPECT_FALSE(file_exists(desktop));
    EXPECT_TRUE(file_exists(neighbour));
    EXPECT_TRUE(file_exists(dir_ / L"Start Menu\\Programs"));
    EXPECT_TRUE(file_exists(app_exe_));
    remove_shortcuts(layout_);  // nothing left to remove is no error either
}

}  // namespace
}  // namespace koravale
