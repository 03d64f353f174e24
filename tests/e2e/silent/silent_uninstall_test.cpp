// Silent uninstalls of a real installation, from the installed uninstaller
// and from copies elsewhere.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "machine.h"
#include "support/run_log_reader.h"
#include "support/test_support.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale::end_to_end {
namespace {

using namespace testing_support;

class SilentUninstall : public testing::Test {
protected:
    void SetUp() override {
        reset_machine(places_);
        ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
        CreateDirectoryW(places_.data_dir.c_str(), nullptr);
        CreateDirectoryW(join(places_.data_dir, L"cache").c_str(), nullptr);
        write_file(join(places_.data_dir, L"settings.json"), "{}");
        write_file(join(places_.data_dir, L"cache\\logo.png"), "png");
        write_file(staged_app_, "half written");
        write_file(join(dir_, L"uninstall.exe.new"), "half copied");
    }
    void TearDown() override { reset_machine(places_); }

    // What every uninstall removes, whoever runs it.
    void expect_player_removed() const {
        EXPECT_FALSE(file_exists(app_));
        EXPECT_FALSE(file_exists(staged_app_));
        EXPECT_FALSE(file_exists(join(dir_, L"uninstall.exe.new")));
        EXPECT_FALSE(file_exists(places_.start_menu_shortcut));
        EXPECT_FALSE(file_exists(places_.desktop_shortcut));
        EXPECT_EQ(registered_value_count(), 0u);
    }

    const UserPlaces places_ = user_places();
    const std::wstring setup_ = build_file("KORAVALE_SETUP_EXE");
    const std::wstring dir_ = places_.default_install_dir;
    const std::wstring app_ = join(dir_, L"KoraVale.exe");
    const std::wstring staged_app_ = join(dir_, L"KoraVale.exe.new");
    const std::wstring uninstaller_ = join(dir_, L"uninstall.exe");
    TempDir temp_;
};

TEST_F(SilentUninstall, FromTheInstalledUninstallerRemovesItselfAfterItHasEnded) {
    ASSERT_EQ(run_setup(uninstaller_, L"--silent"), 0u);
    expect_player_removed();
    EXPECT_EQ(read_file(join(places_.data_dir, L"settings.json")), "{}") << "personal data kept";
    EXPECT_TRUE(wait_until_gone(dir_, 20000)) << "uninstall.exe and its folder go once the process has ended";
}

// A log inside the data folder goes with it and is never made again, its
// later lines lost; a log elsewhere goes on to the end of the run.
struct PurgeLog {
    const char* name;
    bool inside_data_folder;
};

class PurgeData : public SilentUninstall, public testing::WithParamInterface<PurgeLog> {};

TEST_P(PurgeData, RemovesThePersonalDataTree) {
    const std::wstring log =
        GetParam().inside_data_folder ? join(places_.data_dir, L"logs\\u.log") : temp_ / L"u.log";
    ASSERT_EQ(run_setup(uninstaller_, L"--silent --purge-data --log " + quoted(log)), 0u);
    expect_player_removed();
    EXPECT_FALSE(file_exists(places_.data_dir));
    EXPECT_TRUE(wait_until_gone(dir_, 20000));
    if (GetParam().inside_data_folder) return;
    const std::vector<std::string> events = logged_events(log);
    const auto purging = std::find(events.begin(), events.end(), "start: 正在清除本地数据与缓存…");
    ASSERT_LT(purging + 1, events.end());
    EXPECT_EQ(*(purging + 1), "done: 正在清除本地数据与缓存…");
    EXPECT_EQ(events.back(), "exit status: 0");
}

INSTANTIATE_TEST_SUITE_P(Logs, PurgeData,
                         testing::Values(PurgeLog{"log_inside_the_data_folder", true},
                                         PurgeLog{"log_elsewhere", false}),
                         [](const testing::TestParamInfo<PurgeLog>& info) { return info.param.name; });

TEST_F(SilentUninstall, PurgeNeverFollowsALinkOutOfTheDataFolder) {
    const std::wstring music = temp_ / L"Music";
    ASSERT_TRUE(CreateDirectoryW(music.c_str(), nullptr));
    write_file(join(music, L"song.mp3"), "la");
    ASSERT_TRUE(make_unix_symlink(join(places_.data_dir, L"cache\\music"), music));

    ASSERT_EQ(run_setup(uninstaller_, L"--silent --purge-data"), 0u);
    expect_player_removed();
    EXPECT_EQ(read_file(join(music, L"song.mp3")), "la");
    // Windows removes the link itself and the whole data folder goes; Wine
    // cannot open a link as itself, so the purge stops at it instead.
    if (!running_under_wine()) {
        EXPECT_FALSE(file_exists(places_.data_dir));
    }
}

TEST_F(SilentUninstall, FromACopyElsewhereDeletesTheInstalledUninstallerItself) {
    const std::wstring copy = temp_ / L"KoraValeSetup.exe";
    ASSERT_TRUE(CopyFileW(setup_.c_str(), copy.c_str(), FALSE));
    write_file(join(dir_, L"uninstall.exe.77-1234.removing"), "left by a shell that ran out of passes");
    ASSERT_EQ(run_setup(copy, L"--uninstall --silent"), 0u);
    expect_player_removed();
    EXPECT_FALSE(file_exists(dir_)) << "gone before the process ended: no self-removal needed";
    EXPECT_TRUE(file_exists(copy));
}

// The UninstallString run by a device-management tool as SYSTEM: in a service's window station nobody could click.
TEST_F(SilentUninstall, InAHiddenWindowStationTheWindowRunGoesOnSilentlyAndLeavesTheUsersFile) {
    const HWINSTA station = CreateWindowStationW(L"KoraValeHidden", 0, WINSTA_ALL_ACCESS, nullptr);
    ASSERT_NE(station, nullptr);
    const std::wstring log = temp_ / L"uninstall.log";
    write_file(join(dir_, L"my notes.txt"), "mine");
    auto run = ChildProcess::start(quoted(uninstaller_) + L" --uninstall --log " + quoted(log), L"KoraValeHidden\\Default");
    ASSERT_TRUE(run && run->wait(60000)) << "it waits for a click";
    CloseWindowStation(station);
    EXPECT_EQ(run->exit_code(), 0u);
    expect_player_removed();
    EXPECT_EQ(std::ranges::count(logged_events(log), "window station not visible: the run goes on silently"), 1);
    ASSERT_TRUE(wait_for_no_command_shell(30000));
    EXPECT_EQ(folder_entries(dir_), std::vector<std::wstring>{L"my notes.txt"}) << "the user's file and its folder stay";
}

TEST_F(SilentUninstall, AReadOnlyProgramIsDeleted) {
    ASSERT_TRUE(SetFileAttributesW(app_.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_EQ(run_setup(setup_, L"--uninstall /S"), 0u);
    expect_player_removed();
}

TEST_F(SilentUninstall, AProgramFileHeldOpenStaysButTheRestGoes) {
    const std::wstring log = temp_ / L"uninstall.log";
    {
        const UniqueFileHandle held(CreateFileW(app_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                0, nullptr));
        ASSERT_TRUE(held);
        ASSERT_EQ(run_setup(setup_, L"--uninstall --silent --log " + quoted(log)), 0u);
    }
    EXPECT_TRUE(file_exists(app_));
    EXPECT_FALSE(file_exists(uninstaller_));
    EXPECT_FALSE(file_exists(places_.start_menu_shortcut));
    EXPECT_EQ(registered_value_count(), 0u);

    // The log tells why the program stayed, in the stage that skipped it.
    const std::vector<std::string> events = logged_events(log);
    const auto removing = std::find(events.begin(), events.end(), "start: 正在移除程序文件与快捷方式…");
    ASSERT_NE(removing, events.end());
    ASSERT_LT(removing + 1, events.end());
    const std::string& skipped = *(removing + 1);
    EXPECT_TRUE(skipped.starts_with("skipped: 删除 " + from_wide_lossy(app_) + " 失败：")) << skipped;
    EXPECT_TRUE(skipped.ends_with(" (os error 32)")) << skipped;  // a sharing violation
    EXPECT_EQ(*(removing + 2), "done: 正在移除程序文件与快捷方式…");
    EXPECT_EQ(events.back(), "exit status: 0");
}

// Held past the rename's retries, the uninstaller keeps its name, and the
// log says why before it says what the shell is given.
TEST_F(SilentUninstall, AnUninstallerHeldAgainstRenamingSaysWhyItKeptItsName) {
    const std::wstring log = temp_ / L"uninstall.log";
    {
        const UniqueFileHandle held(CreateFileW(uninstaller_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        ASSERT_EQ(run_setup(uninstaller_, L"--silent --log " + quoted(log)), 0u);
    }
    expect_player_removed();
    const std::vector<std::string> events = logged_events(log);
    const std::string uninstaller = from_wide_lossy(uninstaller_);
    const auto kept = std::find(events.begin(), events.end(), "uninstaller keeps its name: the shell is to delete " + uninstaller);
    ASSERT_NE(kept, events.end());
    ASSERT_GT(kept, events.begin());
    const std::string& why = *(kept - 1);
    EXPECT_TRUE(why.starts_with("skipped: 重命名 " + uninstaller + " 失败：")) << why;
    EXPECT_TRUE(why.ends_with(" (os error 32)")) << why;  // a sharing violation
    EXPECT_TRUE(std::find(events.begin(), events.end(), "self-removal started: a hidden shell deletes " + uninstaller +
                                                            " and then " + from_wide_lossy(dir_) +
                                                            " once this process has ended") != events.end());
    EXPECT_TRUE(wait_until_gone(dir_, 20000));
}

TEST_F(SilentUninstall, ACopyNamedLikeTheUninstallerUninstallsItsOwnFolder) {
    // A second installation elsewhere, uninstalled by its renamed uninstaller
    // although the registration names the first one.
    const std::wstring other = temp_ / L"Other";
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(app_.c_str(), join(other, L"KoraVale.exe").c_str(), FALSE));
    const std::wstring renamed = join(other, L"Uninstall.EXE");
    ASSERT_TRUE(CopyFileW(setup_.c_str(), renamed.c_str(), FALSE));

    ASSERT_EQ(run_setup(renamed, L"/s"), 0u);
    EXPECT_FALSE(file_exists(join(other, L"KoraVale.exe")));
    EXPECT_TRUE(wait_until_gone(other, 20000));
    EXPECT_TRUE(file_exists(app_)) << "the registered installation is another one";
}

// A deployment script that removes the player and installs it again at
// once. The first run's shell must delete only the file that ran it, also
// when something (a scanner, the exiting image) still holds that file as
// the shell starts, so that its later passes meet the new uninstaller.
struct HoldCase {
    const char* name;
    DWORD hold_ms;  // 0: nothing holds the uninstaller
    DWORD sharing;
};

class ReinstallRightAfterUninstall : public SilentUninstall, public testing::WithParamInterface<HoldCase> {};

TEST_P(ReinstallRightAfterUninstall, LeavesTheNewInstallationWhole) {
    std::thread holder;
    if (const DWORD hold_ms = GetParam().hold_ms) {
        UniqueFileHandle held(
            CreateFileW(uninstaller_.c_str(), GENERIC_READ, GetParam().sharing, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        holder = std::thread([file = std::move(held), hold_ms]() mutable {
            Sleep(hold_ms);
            file.reset();
        });
    }
    const std::optional<DWORD> uninstalled = run_setup(uninstaller_, L"--uninstall --silent");
    const std::optional<DWORD> installed = run_setup(setup_, L"/S");
    if (holder.joinable()) holder.join();
    ASSERT_EQ(uninstalled, 0u);
    ASSERT_EQ(installed, 0u);
    ASSERT_TRUE(wait_for_no_command_shell(30000)) << "the first run's shell ends within its ten passes";

    EXPECT_TRUE(read_file(uninstaller_) == read_file(setup_)) << "the new uninstaller is the setup program";
    EXPECT_TRUE(file_exists(app_));
    EXPECT_EQ(registered_text(L"QuietUninstallString"), quoted(uninstaller_) + L" --uninstall --silent");
    EXPECT_TRUE(file_exists(places_.start_menu_shortcut));
    EXPECT_TRUE(file_exists(places_.desktop_shortcut));
    EXPECT_EQ(folder_entries(dir_), (std::vector<std::wstring>{L"KoraVale.exe", L"uninstall.exe"}));
}

// Held by a scanner that shares deletion, the renamed file outlives the
// shell's first pass and the shell loops on beside the new installation;
// held without that sharing, the rename itself waits.
INSTANTIATE_TEST_SUITE_P(
    Holds, ReinstallRightAfterUninstall,
    testing::Values(HoldCase{"plainly", 0, 0},
                    HoldCase{"while_held_sharing_deletion", 1000, FILE_SHARE_READ | FILE_SHARE_DELETE},
                    HoldCase{"while_held_without_sharing_deletion", 1000, FILE_SHARE_READ}),
    [](const testing::TestParamInfo<HoldCase>& info) { return info.param.name; });

// With delayed expansion on, cmd.exe would read !Apps! as a variable and
// act on C:\Fun\KoraVale. Wine's cmd.exe ignores that setting, so here this
// shows only that such a folder is removed and the look-alike is not.
TEST_F(SilentUninstall, TheShellTakesExclamationMarksLiterally) {
    const std::wstring parent = L"C:\\Fun!Apps!";
    const std::wstring dir = join(parent, L"KoraVale");
    const std::wstring look_alike = L"C:\\Fun\\KoraVale";
    ASSERT_TRUE(CreateDirectoryW(L"C:\\Fun", nullptr));
    ASSERT_TRUE(CreateDirectoryW(look_alike.c_str(), nullptr));
    write_file(join(look_alike, L"uninstall.exe"), "someone else's");

    ASSERT_EQ(run_setup(setup_, L"/S --dir " + quoted(dir)), 0u);
    ASSERT_EQ(run_setup(join(dir, L"uninstall.exe"), L"--silent"), 0u);
    EXPECT_TRUE(wait_until_gone(dir, 20000));
    EXPECT_TRUE(file_exists(parent));
    EXPECT_EQ(read_file(join(look_alike, L"uninstall.exe")), "someone else's");
    remove_tree(parent);
    remove_tree(L"C:\\Fun");
}

// The log says it found nothing instead of naming a folder and a stage
// after stage that removed nothing.
TEST(SilentUninstallOfNothing, SucceedsWithNothingToRemoveAndSaysSo) {
    reset_machine(user_places());
    TempDir temp;
    const std::wstring log = temp / L"uninstall.log";
    EXPECT_EQ(run_setup(build_file("KORAVALE_SETUP_EXE"), L"--uninstall --silent --log " + quoted(log)), 0u);
    EXPECT_EQ(registered_value_count(), 0u);
    const std::vector<std::string> events = logged_events(log);
    const auto said = [&](std::string_view start) {
        return std::ranges::count_if(events, [&](const std::string& event) { return event.starts_with(start); });
    };
    EXPECT_EQ(said("no installation found: nothing is registered and "), 1) << testing::PrintToString(events);
    EXPECT_EQ(said("install directory: "), 0);
    EXPECT_EQ(said("start: 正在"), 0) << "no stage of the installed program's removal";
    EXPECT_EQ(events.back(), "exit status: 0");
}

}  // namespace
}  // namespace koravale::end_to_end
