// The built setup program run silently, as a user or a script would, in a
// fresh Wine prefix: what is on disk and in the registry afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "machine.h"
#include "support/access_list_reader.h"
#include "support/run_log_reader.h"
#include "support/shortcut_reader.h"
#include "support/test_support.h"
#include "system/platform/com_apartment.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale::end_to_end {
namespace {

using namespace testing_support;

constexpr DWORD REQUIRED_MARGIN = 12u << 20;

class SilentInstall : public testing::Test {
protected:
    void SetUp() override { reset_machine(places_); }
    void TearDown() override { reset_machine(places_); }

    std::wstring app_in(const std::wstring& dir) const { return join(dir, L"KoraVale.exe"); }
    std::wstring uninstaller_in(const std::wstring& dir) const { return join(dir, L"uninstall.exe"); }

    void expect_installed_at(const std::wstring& dir) const {
        EXPECT_TRUE(read_file(app_in(dir)) == sample_) << "the player's bytes";
        EXPECT_TRUE(read_file(uninstaller_in(dir)) == read_file(setup_)) << "the uninstaller is the setup program";
        EXPECT_FALSE(file_exists(join(dir, L"KoraVale.exe.new")));
        EXPECT_FALSE(file_exists(join(dir, L"uninstall.exe.new")));
        EXPECT_EQ(registered_text(L"InstallLocation"), dir);
        EXPECT_EQ(registered_text(L"UninstallString"), quoted(uninstaller_in(dir)) + L" --uninstall");
        EXPECT_EQ(registered_text(L"QuietUninstallString"), quoted(uninstaller_in(dir)) + L" --uninstall --silent");
        EXPECT_EQ(registered_text(L"DisplayVersion"), L"1.4.6");
        EXPECT_EQ(registered_number(L"EstimatedSize"), (sample_.size() + 1023) / 1024 + 2500);
        EXPECT_EQ(registered_value_count(), 13u);
        const auto start_menu = read_shortcut(from_wide_lossy(places_.start_menu_shortcut));
        ASSERT_TRUE(start_menu);
        EXPECT_EQ(start_menu->target, app_in(dir));
        EXPECT_EQ(start_menu->working_dir, dir);
    }

    std::wstring shortcut_target(const std::wstring& shortcut) const {
        const auto contents = read_shortcut(from_wide_lossy(shortcut));
        return contents ? contents->target : L"";
    }

    // Nothing registered, no default directory: what a refusal must leave.
    void expect_nothing_installed() const {
        EXPECT_EQ(registered_value_count(), 0u);
        EXPECT_FALSE(file_exists(places_.default_install_dir));
        EXPECT_FALSE(file_exists(places_.start_menu_shortcut));
    }

    const ComApartment com_{COINIT_APARTMENTTHREADED};
    const UserPlaces places_ = user_places();
    const std::wstring setup_ = build_file("KORAVALE_SETUP_EXE");
    const std::string sample_ = read_file(build_file("KORAVALE_SAMPLE_EXE"));
    TempDir temp_;
};

TEST_F(SilentInstall, FreshInstallPlacesFilesRegistrationAndBothShortcuts) {
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
    expect_installed_at(places_.default_install_dir);
    EXPECT_EQ(shortcut_target(places_.desktop_shortcut), app_in(places_.default_install_dir));
}

TEST_F(SilentInstall, RelaunchStartsThePlayer) {
    const std::wstring record = temp_ / L"started.txt";
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_RECORD", record.c_str());
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_EXIT_AFTER_MS", L"500");
    const auto status = run_setup(setup_, L"/S --relaunch");
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_RECORD", nullptr);
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_EXIT_AFTER_MS", nullptr);
    ASSERT_EQ(status, 0u);
    for (int poll = 0; poll < 100 && !file_exists(record); ++poll) Sleep(100);
    EXPECT_EQ(read_file(record), from_wide_lossy(quoted(app_in(places_.default_install_dir))));
}

TEST_F(SilentInstall, UpgradeKeepsTheUsersChoiceAboutTheDesktopShortcut) {
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
    write_registered_text(L"DisplayVersion", L"1.4.5");
    ASSERT_TRUE(DeleteFileW(places_.desktop_shortcut.c_str()));
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
    EXPECT_FALSE(file_exists(places_.desktop_shortcut)) << "a deleted desktop shortcut stays deleted";

    write_file(places_.desktop_shortcut, "not a shortcut any more");
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
    EXPECT_EQ(shortcut_target(places_.desktop_shortcut), app_in(places_.default_install_dir)) << "rewritten";
}

TEST_F(SilentInstall, MovingAnInstallationCleansOnlyTheProgramFilesOfTheOldPlace) {
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
    const std::wstring old_dir = places_.default_install_dir;
    write_file(join(old_dir, L"KoraVale.exe.new"), "left over");
    write_file(join(old_dir, L"my notes.txt"), "mine");
    const std::wstring new_dir = temp_ / L"My Apps\\KoraVale";

    ASSERT_EQ(run_setup(setup_, L"--dir " + quoted(new_dir) + L" /S"), 0u);
    expect_installed_at(new_dir);
    EXPECT_EQ(shortcut_target(places_.desktop_shortcut), app_in(new_dir));
    for (const wchar_t* name : {L"KoraVale.exe", L"KoraVale.exe.new", L"uninstall.exe", L"uninstall.exe.new"}) {
        EXPECT_FALSE(file_exists(join(old_dir, name))) << from_wide_lossy(name);
    }
    EXPECT_EQ(read_file(join(old_dir, L"my notes.txt")), "mine");
}

TEST_F(SilentInstall, AFormerLocationInOtherLetterCaseIsTheSamePlace) {
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
    std::wstring shouted = places_.default_install_dir;
    CharUpperBuffW(shouted.data(), static_cast<DWORD>(shouted.size()));
    ASSERT_EQ(run_setup(setup_, L"/S /D=" + shouted), 0u);
    // Cleaning "the old place" would have deleted the new program files.
    EXPECT_TRUE(read_file(app_in(places_.default_install_dir)) == sample_);
    EXPECT_TRUE(file_exists(uninstaller_in(places_.default_install_dir)));
}

// What an interrupted or failed earlier run can leave behind.
enum class Leftover { StagingFilesWithoutUninstaller, RegistrationWithoutFiles, FilesWithoutRegistration };

class SilentInstallAfterAnInterruption : public SilentInstall, public testing::WithParamInterface<Leftover> {};

TEST_P(SilentInstallAfterAnInterruption, ARerunCompletesTheInstallAndKeepsTheUsersFiles) {
    const std::wstring dir = places_.default_install_dir;
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
    write_file(join(dir, L"my playlist.m3u"), "#EXTM3U");
    switch (GetParam()) {
        case Leftover::StagingFilesWithoutUninstaller:
            write_file(join(dir, L"KoraVale.exe.new"), "half");
            write_file(join(dir, L"uninstall.exe.new"), "half");
            ASSERT_TRUE(DeleteFileW(uninstaller_in(dir).c_str()));
            break;
        case Leftover::RegistrationWithoutFiles:
            ASSERT_TRUE(DeleteFileW(app_in(dir).c_str()));
            ASSERT_TRUE(DeleteFileW(uninstaller_in(dir).c_str()));
            break;
        case Leftover::FilesWithoutRegistration:
            write_file(app_in(dir), "an older player");
            RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KoraVale");
            break;
    }
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
    expect_installed_at(dir);
    EXPECT_EQ(read_file(join(dir, L"my playlist.m3u")), "#EXTM3U");
}

INSTANTIATE_TEST_SUITE_P(Leftovers, SilentInstallAfterAnInterruption,
                         testing::Values(Leftover::StagingFilesWithoutUninstaller, Leftover::RegistrationWithoutFiles,
                                         Leftover::FilesWithoutRegistration));

struct Refusal {
    const char* name;
    std::wstring arguments;
};

class SilentInstallRefusal : public SilentInstall, public testing::WithParamInterface<Refusal> {};

TEST_P(SilentInstallRefusal, ChangesNothingAndExitsWithOne) {
    const std::wstring file = temp_ / L"a file";
    write_file(file, "x");
    std::wstring arguments = GetParam().arguments;
    if (const std::size_t at = arguments.find(L"{file}"); at != std::wstring::npos) arguments.replace(at, 6, file);
    EXPECT_EQ(run_setup(setup_, arguments), 1u);
    expect_nothing_installed();
    EXPECT_EQ(read_file(file), "x");
}

INSTANTIATE_TEST_SUITE_P(
    BeforeAnythingChanges, SilentInstallRefusal,
    testing::Values(Refusal{"missing_drive_letter", L"/S --dir K:\\KoraVale"},
                    Refusal{"question_mark", L"/S \"--dir=C:\\Apps\\Kora?Vale\""},
                    Refusal{"drive_root", L"/S /D=C:\\"},
                    Refusal{"existing_file", L"/S --dir \"{file}\""}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST_F(SilentInstall, TheLogOfARefusalEndsWithItsTextAndExitStatusOne) {
    const std::wstring log = temp_ / L"logs\\deep\\setup.log";  // its folders are made
    const std::wstring log_option = L"--log=" + log;
    EXPECT_EQ(run_setup(setup_, L"/S --dir K:\\KoraVale " + quoted(log_option)), 1u);
    expect_nothing_installed();
    EXPECT_EQ(logged_events(log), (std::vector<std::string>{
                                      program_event_text(),
                                      "arguments: [/S] [--dir] [K:\\KoraVale] [" + from_wide_lossy(log_option) + "]",
                                      "run: silent install",
                                      "start: checking the install directory and drive",
                                      "install directory: K:\\KoraVale",
                                      "failed: checking the install directory and drive",
                                      "error: 磁盘 K:\\ 不存在或未就绪，请重新选择安装目录",
                                      "exit status: 1",
                                  }));
}

TEST_F(SilentInstall, TheLogOfAnInstallNamesEveryStageInOrder) {
    // A relative path is the current directory's; an earlier log is kept and
    // appended to, also while a viewer or a second setup program has it open.
    const std::wstring log = temp_ / L"setup.log";
    write_file(log, "2026-01-01 08:00:00.000 an earlier run\r\n");
    const UniqueFileHandle other(CreateFileW(log.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(other);
    wchar_t test_dir[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, test_dir), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(temp_.path().c_str()));
    // A switch after --log is the switch, not the log's name.
    const auto status = run_setup(setup_, L"--log --silent --log setup.log");
    SetCurrentDirectoryW(test_dir);
    ASSERT_EQ(status, 0u);
    EXPECT_FALSE(file_exists(temp_ / L"--silent"));

    expect_installed_at(places_.default_install_dir);  // the registered commands carry no log option
    std::vector<std::string> expected{"an earlier run", program_event_text(),
                                      "arguments: [--log] [--silent] [--log] [setup.log]",
                                      "run: silent install", "start: checking the install directory and drive",
                                      "install directory: " + from_wide_lossy(places_.default_install_dir),
                                      "done: checking the install directory and drive"};
    for (const std::string stage : {"正在检查并关闭运行中的 KoraVale…", "正在解压并校验 KoraVale 程序完整性…",
                                    "正在安装程序文件…", "正在创建快捷方式与系统注册信息…"}) {
        expected.push_back("start: " + stage);
        expected.push_back("done: " + stage);
    }
    expected.push_back("exit status: 0");
    EXPECT_EQ(logged_events(log), expected);
}

// Writing the log can never change a run: not where no folder can be made,
// not on a missing drive, not when another program holds the file.
struct UnwritableLog {
    const char* name;
    std::wstring path;  // {temp} stands for the test's own folder
};

class SilentInstallWithAnUnwritableLog : public SilentInstall, public testing::WithParamInterface<UnwritableLog> {};

TEST_P(SilentInstallWithAnUnwritableLog, EndsAsWithoutIt) {
    const std::wstring file = temp_ / L"a file";
    write_file(file, "x");
    const std::wstring held_log = temp_ / L"held.log";
    write_file(held_log, "");
    const UniqueFileHandle held(CreateFileW(held_log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    std::wstring path = GetParam().path;
    if (path.starts_with(L"{temp}")) path.replace(0, 6, temp_.path());
    const std::wstring log_option = L" --log " + testing_support::quoted(path);

    EXPECT_EQ(run_setup(setup_, L"/S --dir K:\\KoraVale" + log_option), 1u);
    expect_nothing_installed();
    ASSERT_EQ(run_setup(setup_, L"/S" + log_option), 0u);
    expect_installed_at(places_.default_install_dir);
    EXPECT_EQ(read_file(file), "x");
    EXPECT_EQ(read_file(held_log), "");
}

INSTANTIATE_TEST_SUITE_P(
    Logs, SilentInstallWithAnUnwritableLog,
    testing::Values(UnwritableLog{"folder_under_a_file", L"{temp}\\a file\\logs\\setup.log"},
                    UnwritableLog{"missing_drive", L"K:\\logs\\setup.log"},
                    UnwritableLog{"held_without_sharing", L"{temp}\\held.log"}),
    [](const testing::TestParamInfo<UnwritableLog>& info) { return info.param.name; });

// Folders on the system drive's root, outside the user's profile, where a
// new folder would take entries that let other accounts change its files.
class SilentInstallBesideTheProfile : public SilentInstall {
protected:
    void TearDown() override {
        wait_for_no_command_shell(30000);
        remove_tree(L"C:\\Apps");
        remove_tree(L"C:\\Shared");
        SilentInstall::TearDown();
    }

    // Wine keeps an access list only as Unix permission bits (no protected
    // flag, no Administrators entry), and files made inside get the mode
    // the umask gives instead of the folder's entries. On Windows they
    // inherit the folder's entries.
    void expect_closed_to_other_users(const std::wstring& dir) const {
        const std::optional<AccessList> list = read_access_list(dir);
        ASSERT_TRUE(list);
        EXPECT_FALSE(list->lets_other_users_in()) << list->sddl;
        if (running_under_wine()) {
            EXPECT_EQ(unix_mode(dir).back(), '0') << "no bits for others";
        }
    }

    // Under Wine a folder closed after the fact keeps the read bits for
    // others, and a file the umask's; on Windows no entry names them.
    void expect_not_writable_by_others(const std::wstring& path) const {
        if (!running_under_wine()) {
            EXPECT_FALSE(read_access_list(path)->lets_other_users_in()) << from_wide_lossy(path);
            return;
        }
        const std::string mode = unix_mode(path);
        ASSERT_FALSE(mode.empty());
        EXPECT_EQ((mode.back() - '0') & 2, 0) << from_wide_lossy(path) << " has mode " << mode;
    }
};

TEST_F(SilentInstallBesideTheProfile, AFolderItCreatesWorksForUpgradeMoveAndUninstall) {
    const std::wstring dir = L"C:\\Apps\\KoraVale";
    ASSERT_EQ(run_setup(setup_, L"/S --dir " + testing_support::quoted(dir)), 0u);
    expect_installed_at(dir);
    expect_closed_to_other_users(dir);
    expect_closed_to_other_users(L"C:\\Apps");  // made on the way

    // As an earlier build left it: open to all, with leftovers anyone may write.
    if (running_under_wine()) {
        ASSERT_TRUE(run_unix_command_on(L"chmod 777", dir));
        for (const wchar_t* leftover : {L"KoraVale.exe.new", L"uninstall.exe.new"}) {
            write_file(join(dir, leftover), "planted");
            ASSERT_TRUE(run_unix_command_on(L"chmod 666", join(dir, leftover)));
        }
    }
    write_registered_text(L"DisplayVersion", L"1.4.5");
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);  // into the registered folder
    expect_installed_at(dir);
    for (const std::wstring& path : {dir, app_in(dir), uninstaller_in(dir)}) expect_not_writable_by_others(path);

    ASSERT_EQ(run_setup(uninstaller_in(dir), L"--silent"), 0u);
    EXPECT_EQ(registered_value_count(), 0u);
    EXPECT_TRUE(wait_until_gone(dir, 20000)) << "the self-removal shell deletes the folder";

    ASSERT_EQ(run_setup(setup_, L"/S --dir " + testing_support::quoted(dir)), 0u);
    ASSERT_EQ(run_setup(setup_, L"/S --dir " + testing_support::quoted(places_.default_install_dir)), 0u);
    expect_installed_at(places_.default_install_dir);
    EXPECT_FALSE(file_exists(dir)) << "the former location is cleaned and removed";
    EXPECT_TRUE(file_exists(L"C:\\Apps")) << "a parent made on the way is not ours to remove";
}

// Another account makes the folder after the check found none, while the
// install waits for a process to end: it is checked again where it is met.
TEST_F(SilentInstallBesideTheProfile, AFolderMadeAfterTheCheckIsCheckedWhereTheInstallMeetsIt) {
    if (!running_under_wine()) GTEST_SKIP() << "made with Unix commands";
    const std::wstring dir = L"C:\\Shared\\KoraVale", planted = join(dir, L"version.dll"), log = temp_ / L"setup.log";
    auto waited = ChildProcess::start(L"cmd.exe /c ping -n 6 127.0.0.1 >nul");
    ASSERT_TRUE(waited);
    auto install = ChildProcess::start(quoted(setup_) + L" /S --dir " + quoted(dir) + L" --log " + quoted(log) +
                                       L" --wait-pid " + std::to_wstring(waited->id()));
    const std::string waiting = "start: 正在检查并关闭运行中的 KoraVale…";
    for (int poll = 0; install && poll < 200 && std::ranges::count(logged_events(log), waiting) == 0; ++poll) Sleep(25);
    ASSERT_TRUE(install && CreateDirectoryW(L"C:\\Shared", nullptr) && CreateDirectoryW(dir.c_str(), nullptr));
    write_file(planted, "planted");
    ASSERT_TRUE(run_unix_command_on(L"chmod 666", planted) && install->wait(60000));
    EXPECT_EQ(install->exit_code(), 1u);
    EXPECT_EQ(folder_entries(dir), std::vector<std::wstring>{L"version.dll"});
    expect_nothing_installed();
}

enum class Outcome { LeftAsItWas, Closed, Refused };

struct ExistingFolder {
    const char* name;
    std::wstring dir;          // {temp} stands for the test's own folder, in the user's profile
    const wchar_t* prepare;    // a Unix command given the folder (or the planted file), or none; "ln": hard-link it
    bool on_a_planted_file;    // prepare a file of the folder instead of the folder
    Outcome outcome;
    std::string logged;        // the line logged about the folder, {dir} standing for it; empty: none
    const wchar_t* then_on_the_folder = nullptr;  // a Unix command given the folder after that
};

class SilentInstallIntoAnExistingFolder : public SilentInstallBesideTheProfile,
                                          public testing::WithParamInterface<ExistingFolder> {};

// Under Wine an access list is the Unix mode, and "chown nobody" makes an
// entry that reads back as another account's (Anonymous).
TEST_P(SilentInstallIntoAnExistingFolder, IsUsedClosedOrRefusedByWhoMayChangeIt) {
    const ExistingFolder& folder = GetParam();
    std::wstring dir = folder.dir;
    if (dir.starts_with(L"{temp}")) dir.replace(0, 6, temp_.path());
    CreateDirectoryW(dir.substr(0, dir.rfind(L'\\')).c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    if (folder.prepare != nullptr) {
        if (!running_under_wine()) GTEST_SKIP() << "made with Unix commands";
        const std::wstring planted = join(dir, L"version.dll");
        if (folder.on_a_planted_file) write_file(planted, "planted");
        if (std::wstring(folder.prepare) == L"ln") {
            ASSERT_TRUE(CreateHardLinkW(join(dir, L"..\\elsewhere.dll").c_str(), planted.c_str(), nullptr));
        } else {
            ASSERT_TRUE(run_unix_command_on(folder.prepare, folder.on_a_planted_file ? planted : dir));
        }
        if (folder.then_on_the_folder != nullptr) {
            ASSERT_TRUE(run_unix_command_on(folder.then_on_the_folder, dir));
        }
    }
    const std::string list_before = read_access_list(dir)->sddl;
    const std::string mode_before = unix_mode(dir);
    const std::vector<std::wstring> entries_before = folder_entries(dir);
    const std::wstring log = temp_ / L"setup.log";

    const std::optional<DWORD> status =
        run_setup(setup_, L"/S --dir " + testing_support::quoted(dir) + L" --log " + testing_support::quoted(log));
    if (folder.outcome == Outcome::Refused) {
        EXPECT_EQ(status, 1u);
        EXPECT_EQ(folder_entries(dir), entries_before) << "nothing written";
        expect_nothing_installed();
    } else {
        ASSERT_EQ(status, 0u);
        expect_installed_at(dir);
    }
    if (folder.outcome == Outcome::Closed) {
        expect_not_writable_by_others(dir);
    } else {
        EXPECT_EQ(read_access_list(dir)->sddl, list_before);
        EXPECT_EQ(unix_mode(dir), mode_before);
    }
    std::string line = folder.logged;
    if (const std::size_t at = line.find("{dir}"); at != std::string::npos) line.replace(at, 5, from_wide_lossy(dir));
    if (const std::size_t at = line.find("{user}"); at != std::string::npos) line.replace(at, 6, current_user_sid());
    EXPECT_TRUE(line.empty() || std::ranges::count(logged_events(log), line) == 1) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Folders, SilentInstallIntoAnExistingFolder,
    testing::Values(
        ExistingFolder{"outside_the_profile", L"C:\\Shared\\KoraVale", nullptr, false, Outcome::LeftAsItWas,
                       "install directory outside the user profile is closed to other accounts (owner {user}): "
                       "used as it is: {dir}"},
        ExistingFolder{"in_the_profile", L"{temp}\\KoraVale", nullptr, false, Outcome::LeftAsItWas, ""},
        ExistingFolder{"open_in_the_profile", L"{temp}\\KoraVale", L"chmod 777", false, Outcome::LeftAsItWas, ""},
        ExistingFolder{"open_outside_the_profile", L"C:\\Shared\\KoraVale", L"chmod 777", false, Outcome::Closed,
                       "install directory was open to other accounts (S-1-1-0 allowed 0x001301FF): its access list "
                       "replaced and read back closed: {dir}"},
        ExistingFolder{"open_holding_other_files", L"C:\\Shared\\KoraVale", L"chmod 644", true, Outcome::Refused,
                       "error: 安装目录 {dir} 中已有其他文件，且其他账户可以修改该目录。请选择一个新的或空的目录", L"chmod 777"},
        ExistingFolder{"another_accounts", L"C:\\Shared\\KoraVale", L"chown nobody", false, Outcome::Refused,
                       "error: 安装目录 {dir} 属于另一个账户，该账户可以替换其中的程序。请选择其他目录"},
        ExistingFolder{"holding_another_accounts_file", L"C:\\Shared\\KoraVale", L"chown nobody", true,
                       Outcome::Refused,
                       "error: 安装目录 {dir} 中有属于另一个账户的文件，该账户可以替换其中的程序。请选择其他目录"},
        ExistingFolder{"holding_a_file_others_may_write", L"C:\\Shared\\KoraVale", L"chmod 666", true, Outcome::Refused,
                       "error: 安装目录 {dir} 中有其他账户可以修改的文件，该账户可以替换其中的程序。请选择其他目录"},
        ExistingFolder{"open_holding_a_hard_link", L"C:\\Shared\\KoraVale", L"ln", true, Outcome::Refused,
                       "error: 安装目录 {dir} 中有其他账户可以修改的文件，该账户可以替换其中的程序。请选择其他目录", L"chmod 777"}),
    [](const testing::TestParamInfo<ExistingFolder>& info) { return info.param.name; });

TEST_F(SilentInstall, ARegisteredLocationThatBreaksARuleIsRefused) {
    write_registered_text(L"InstallLocation", L"C:\\Apps|Bad\\KoraVale");
    write_registered_text(L"DisplayVersion", L"1.4.5");
    EXPECT_EQ(run_setup(setup_, L"/S"), 1u);
    EXPECT_EQ(registered_text(L"InstallLocation"), L"C:\\Apps|Bad\\KoraVale");
    EXPECT_EQ(registered_value_count(), 2u);
    EXPECT_FALSE(file_exists(places_.default_install_dir));
}

// Q: is a small tmpfs: fill it until exactly the requirement is free, then
// one page more (tmpfs counts whole pages, so one byte less is not possible).
class SilentInstallOnAFullDrive : public SilentInstall {
protected:
    std::wstring drive_ = std::wstring(1, static_cast<wchar_t>(std::getenv("KORAVALE_TMPFS_DRIVE")[0])) + L":";
    std::wstring filler_ = drive_ + L"\\filler.bin";

    void fill_until_free(ULONGLONG free_bytes) {
        ULARGE_INTEGER available;
        ASSERT_TRUE(GetDiskFreeSpaceExW((drive_ + L"\\").c_str(), &available, nullptr, nullptr));
        ASSERT_GT(available.QuadPart, free_bytes);
        const UniqueFileHandle file(
            CreateFileW(filler_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        const std::string chunk(available.QuadPart - free_bytes, '\0');
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr));
        ASSERT_TRUE(GetDiskFreeSpaceExW((drive_ + L"\\").c_str(), &available, nullptr, nullptr));
        ASSERT_EQ(available.QuadPart, free_bytes);
    }

    void TearDown() override {
        run_setup(setup_, L"--uninstall --silent --dir " + drive_ + L"\\KoraVale");
        DeleteFileW(filler_.c_str());
        SilentInstall::TearDown();
    }
};

TEST_F(SilentInstallOnAFullDrive, OnePageShortIsRefused) {
    const ULONGLONG required = sample_.size() + REQUIRED_MARGIN;
    ASSERT_EQ(required % 4096, 0u) << "the sample image is a whole number of pages";
    fill_until_free(required - 4096);
    EXPECT_EQ(run_setup(setup_, L"/S /D=" + drive_ + L"\\KoraVale"), 1u);
    expect_nothing_installed();
    EXPECT_FALSE(file_exists(drive_ + L"\\KoraVale"));
}

TEST_F(SilentInstallOnAFullDrive, ExactlyTheRequirementIsEnough) {
    fill_until_free(sample_.size() + REQUIRED_MARGIN);
    EXPECT_EQ(run_setup(setup_, L"/S /D=" + drive_ + L"\\KoraVale"), 0u);
    EXPECT_TRUE(read_file(app_in(drive_ + L"\\KoraVale")) == sample_);
}

TEST_F(SilentInstall, ARunningPlayerIsClosedAndReplaced) {
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
    write_file(app_in(places_.default_install_dir), sample_ + "an older build");  // a replacement must show
    auto player = ChildProcess::start(quoted(app_in(places_.default_install_dir)));
    ASSERT_TRUE(player && player->wait_for_window(L"KoraValeMainWindow", 10000));
    EXPECT_EQ(run_setup(setup_, L"/S"), 0u);
    EXPECT_TRUE(player->wait(5000)) << "the player was asked to close";
    EXPECT_TRUE(read_file(app_in(places_.default_install_dir)) == sample_);
}

TEST_F(SilentInstall, APlayerThatWillNotLetGoFailsTheInstallAndKeepsTheOldProgram) {
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
    write_file(app_in(places_.default_install_dir), sample_ + "an older build");
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_IGNORE_CLOSE", L"1");
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_HOLD_FILE_MS", L"60000");
    auto player = ChildProcess::start(quoted(app_in(places_.default_install_dir)));
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_IGNORE_CLOSE", nullptr);
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_HOLD_FILE_MS", nullptr);
    ASSERT_TRUE(player && player->wait_for_window(L"KoraValeMainWindow", 10000));

    EXPECT_EQ(run_setup(setup_, L"/S"), 1u);
    EXPECT_TRUE(read_file(app_in(places_.default_install_dir)) == sample_ + "an older build");
    EXPECT_FALSE(file_exists(join(places_.default_install_dir, L"KoraVale.exe.new")));
    EXPECT_FALSE(player->wait(0)) << "still running: it ignored every request";
}

// A copy of the setup program whose embedded stream has one byte flipped.
TEST_F(SilentInstall, ADamagedPayloadWritesNothing) {
    std::string program = read_file(setup_);
    const std::string stream = read_file(build_file("KORAVALE_PAYLOAD_ZLIB"));
    ASSERT_GE(stream.size(), 64u);
    const std::string head = stream.substr(0, 64);
    const std::size_t at = program.find(head);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(program.find(head, at + 1), std::string::npos);
    program[at + stream.size() / 2] ^= 0x20;
    const std::wstring damaged = temp_ / L"KoraValeSetup.exe";
    write_file(damaged, program);

    EXPECT_EQ(run_setup(damaged, L"/S"), 1u);
    expect_nothing_installed();
}

}  // namespace
}  // namespace koravale::end_to_end
