// Setup programs of one user started together: each waits for the one
// before it, so the installation ends whole or wholly removed, never in
// between, and a run that waits too long changes nothing.

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "machine.h"
#include "support/access_list_reader.h"
#include "support/run_log_reader.h"
#include "support/test_support.h"
#include "system/platform/wide_string.h"
#include "system/security/setup_lock.h"

namespace koravale::end_to_end {
namespace {

using namespace testing_support;

constexpr char WAITING_STARTED[] = "start: 正在等待另一个 KoraVale 安装程序结束…";
// The bound is a minute; a waiting run may take a little longer to end.
constexpr DWORD LONGER_THAN_THE_WAIT_MS = 90000;

bool has_event_starting(const std::vector<std::string>& events, const std::string& prefix) {
    return std::any_of(events.begin(), events.end(), [&](const std::string& event) { return event.rfind(prefix, 0) == 0; });
}

// The name every version must agree on, or two of them would not keep apart.
std::wstring lock_name() { return L"Global\\KoraVale.Setup." + to_wide(current_user_sid()); }

// Owner and access list as SDDL, as an administrator's tools read them.
std::string owner_and_access_list(HANDLE object) {
    UniqueSecurityDescriptor security;
    constexpr SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, parts, nullptr, nullptr, nullptr, nullptr, security.put()) != 0) return {};
    UniqueLocalText text;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(security.get(), SDDL_REVISION_1, parts, text.put(), nullptr)) return {};
    return from_wide_lossy(text.get());
}

bool same_text_ignoring_case(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

class OneRunAtATime : public testing::Test {
protected:
    void SetUp() override { reset_machine(places_); }
    void TearDown() override {
        wait_for_no_command_shell(30000);
        reset_machine(places_);
    }

    std::optional<ChildProcess> start(const std::wstring& program, const std::wstring& arguments) const {
        return ChildProcess::start(quoted(program) + L" " + arguments);
    }

    // Program, uninstaller (the setup program's bytes), registration naming
    // them, both shortcuts, and nothing else in the folder.
    void expect_whole_install(const std::wstring& dir) const {
        EXPECT_TRUE(file_exists(join(dir, L"KoraVale.exe")));
        EXPECT_TRUE(read_file(join(dir, L"uninstall.exe")) == read_file(setup_)) << "the uninstaller is the setup program";
        const std::optional<std::wstring> location = registered_text(L"InstallLocation");
        EXPECT_TRUE(location && same_text_ignoring_case(*location, dir));
        EXPECT_EQ(registered_text(L"UninstallString"), quoted(join(dir, L"uninstall.exe")) + L" --uninstall");
        EXPECT_TRUE(file_exists(places_.start_menu_shortcut));
        EXPECT_TRUE(file_exists(places_.desktop_shortcut));
        EXPECT_EQ(folder_entries(dir), (std::vector<std::wstring>{L"KoraVale.exe", L"uninstall.exe"}));
    }

    void expect_whole_removal(const std::wstring& dir) const {
        EXPECT_EQ(registered_value_count(), 0u);
        EXPECT_FALSE(file_exists(places_.start_menu_shortcut));
        EXPECT_FALSE(file_exists(places_.desktop_shortcut));
        EXPECT_FALSE(file_exists(dir)) << "the folder and everything of ours in it is gone";
    }

    const UserPlaces places_ = user_places();
    const std::wstring setup_ = build_file("KORAVALE_SETUP_EXE");
    const std::wstring dir_ = places_.default_install_dir;
    const std::wstring uninstaller_ = join(dir_, L"uninstall.exe");
    TempDir temp_;
};

struct TogetherCase {
    const char* name;
    bool from_installed_uninstaller;  // else the setup program with --uninstall
    DWORD install_after_ms;
};

class InstallAndUninstallTogether : public OneRunAtATime, public testing::WithParamInterface<TogetherCase> {};

TEST_P(InstallAndUninstallTogether, EndWithAWholeInstallOrAWholeRemoval) {
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
    const TogetherCase& c = GetParam();
    const std::wstring uninstall_log = L" --log " + quoted(temp_ / L"uninstall.log");
    auto uninstall = c.from_installed_uninstaller ? start(uninstaller_, L"--silent" + uninstall_log)
                                                  : start(setup_, L"--uninstall --silent" + uninstall_log);
    ASSERT_TRUE(uninstall);
    Sleep(c.install_after_ms);
    auto install = start(setup_, L"/S");
    ASSERT_TRUE(install);
    ASSERT_TRUE(uninstall->wait(LONGER_THAN_THE_WAIT_MS) && install->wait(LONGER_THAN_THE_WAIT_MS));
    EXPECT_EQ(uninstall->exit_code(), 0u);
    EXPECT_EQ(install->exit_code(), 0u);
    ASSERT_TRUE(wait_for_no_command_shell(30000));

    // Whichever took the lock last decides: the uninstall waited only if the install had it first.
    if (has_event_starting(logged_events(temp_ / L"uninstall.log"), WAITING_STARTED)) {
        expect_whole_removal(dir_);
    } else {
        expect_whole_install(dir_);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, InstallAndUninstallTogether,
    testing::Values(TogetherCase{"uninstaller_then_install_at_once", true, 0},
                    TogetherCase{"uninstaller_then_install_after_100_ms", true, 100},
                    TogetherCase{"uninstaller_then_install_after_250_ms", true, 250},
                    TogetherCase{"uninstaller_then_install_after_600_ms", true, 600},
                    TogetherCase{"setup_uninstall_then_install_at_once", false, 0},
                    TogetherCase{"setup_uninstall_then_install_after_250_ms", false, 250}),
    [](const testing::TestParamInfo<TogetherCase>& info) { return info.param.name; });

TEST_F(OneRunAtATime, TwoInstallsIntoDifferentFoldersLeaveOnlyTheRegisteredCopy) {
    const std::wstring first = temp_ / L"First";
    const std::wstring second = temp_ / L"Second";
    auto a = start(setup_, L"/S --dir " + quoted(first));
    auto b = start(setup_, L"/S --dir " + quoted(second));
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(a->wait(LONGER_THAN_THE_WAIT_MS) && b->wait(LONGER_THAN_THE_WAIT_MS));
    EXPECT_EQ(a->exit_code(), 0u);
    EXPECT_EQ(b->exit_code(), 0u);

    const std::optional<std::wstring> location = registered_text(L"InstallLocation");
    ASSERT_TRUE(location);
    const bool first_won = same_text_ignoring_case(*location, first);
    const std::wstring& kept = first_won ? first : second;
    const std::wstring& moved_from = first_won ? second : first;
    expect_whole_install(kept);
    EXPECT_FALSE(file_exists(moved_from)) << "the earlier copy was cleaned out as a former location";
}

TEST_F(OneRunAtATime, ARunWaitsForTheLockChangingNothingAndGoesOnWhenItIsFree) {
    const std::wstring log = temp_ / L"setup.log";
    std::optional<ChildProcess> install;
    {
        Result<SetupLock> lock = SetupLock::open();
        ASSERT_TRUE(lock && lock->take(0));
        install = start(setup_, L"/S --log " + quoted(log));
        ASSERT_TRUE(install);
        EXPECT_FALSE(install->wait(3000)) << "it waits while another holds the lock";
        EXPECT_FALSE(file_exists(dir_));
        EXPECT_EQ(registered_value_count(), 0u);
    }
    ASSERT_TRUE(install->wait(60000));
    EXPECT_EQ(install->exit_code(), 0u);
    expect_whole_install(dir_);
    const std::vector<std::string> events = logged_events(log);
    const auto waiting = std::find(events.begin(), events.end(), WAITING_STARTED);
    ASSERT_NE(waiting, events.end());
    ASSERT_LT(waiting + 2, events.end());
    EXPECT_TRUE(waiting[1].rfind("waited ", 0) == 0 && waiting[1].ends_with(" ms for another KoraVale setup program to end"))
        << waiting[1];
    EXPECT_EQ(waiting[2], "done: 正在等待另一个 KoraVale 安装程序结束…");
}

// The real bound, once, for an install and an uninstall waiting together.
TEST_F(OneRunAtATime, RunsThatWaitPastTheBoundFailWithTheMessageAndChangeNothing) {
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
    const std::wstring install_log = temp_ / L"install.log";
    const std::wstring uninstall_log = temp_ / L"uninstall.log";
    Result<SetupLock> lock = SetupLock::open();
    ASSERT_TRUE(lock && lock->take(0));
    auto install = start(setup_, L"/S --dir " + quoted(temp_ / L"Elsewhere") + L" --log " + quoted(install_log));
    auto uninstall = start(uninstaller_, L"--silent --log " + quoted(uninstall_log));
    ASSERT_TRUE(install && uninstall);
    ASSERT_TRUE(install->wait(LONGER_THAN_THE_WAIT_MS) && uninstall->wait(LONGER_THAN_THE_WAIT_MS));
    EXPECT_EQ(install->exit_code(), 1u);
    EXPECT_EQ(uninstall->exit_code(), 1u);

    for (const std::wstring& log : {install_log, uninstall_log}) {
        const std::vector<std::string> events = logged_events(log);
        ASSERT_GE(events.size(), 5u);
        const auto last = events.end() - 5;
        EXPECT_EQ(last[0], WAITING_STARTED);
        EXPECT_TRUE(last[1].rfind("gave up after 6", 0) == 0) << last[1];
        EXPECT_EQ(last[2], "failed: 正在等待另一个 KoraVale 安装程序结束…");
        EXPECT_EQ(last[3], "error: 另一个 KoraVale 安装或卸载程序正在运行，请等待其结束后重试");
        EXPECT_EQ(last[4], "exit status: 1");
    }
    EXPECT_FALSE(file_exists(temp_ / L"Elsewhere"));
    expect_whole_install(dir_);
}

TEST_F(OneRunAtATime, ALockLeftByAKilledRunIsTakenAtOnceAndSaysSo) {
    const std::wstring ready = temp_ / L"held";
    auto holder = ChildProcess::start(quoted(build_file("KORAVALE_PROGRAM_FILES_PROBE_EXE")) + L" hold-setup-lock " + quoted(ready));
    ASSERT_TRUE(holder);
    for (int poll = 0; poll < 100 && !file_exists(ready); ++poll) Sleep(100);
    ASSERT_TRUE(file_exists(ready));
    // A waiting run keeps the lock in being when its holder dies; this handle stands in for it.
    const UniqueKernelHandle waiter(OpenMutexW(SYNCHRONIZE, FALSE, lock_name().c_str()));
    ASSERT_TRUE(waiter);
    ASSERT_TRUE(TerminateProcess(holder->handle(), 9));
    ASSERT_TRUE(holder->wait(10000));

    const std::wstring log = temp_ / L"setup.log";
    ASSERT_EQ(run_setup(setup_, L"/S --log " + quoted(log)), 0u);
    expect_whole_install(dir_);
    const std::vector<std::string> events = logged_events(log);
    EXPECT_EQ(std::count(events.begin(), events.end(), WAITING_STARTED), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(),
                         "setup lock taken: the previous setup program ended without releasing the lock"),
              1);
}

// Opened by its literal name while a real run holds it. Wine keeps neither
// the integrity label nor checks access, so only owner and list are read.
TEST_F(OneRunAtATime, TheLockIsTheUsersGlobalMutexOwnedByTheUserAndOpenOnlyToUserSystemAndAdministrators) {
    auto waited = ChildProcess::start(L"cmd.exe /c ping -n 4 127.0.0.1 >nul");
    ASSERT_TRUE(waited);
    auto install = start(setup_, L"/S --wait-pid " + std::to_wstring(waited->id()));
    ASSERT_TRUE(install);
    UniqueKernelHandle lock;
    for (int poll = 0; poll < 100 && !lock; ++poll, Sleep(50)) {
        lock.reset(OpenMutexW(SYNCHRONIZE | READ_CONTROL, FALSE, lock_name().c_str()));
    }
    ASSERT_TRUE(lock);
    const std::string user = current_user_sid();
    EXPECT_EQ(owner_and_access_list(lock.get()),
              "O:" + user + "D:P(A;;0x120001;;;" + user + ")(A;;0x120001;;;SY)(A;;0x120001;;;BA)");
    ASSERT_TRUE(install->wait(60000));
    EXPECT_EQ(install->exit_code(), 0u);
}

// Held without delete sharing past the uninstaller's renaming tries, as a
// scanner may: its shell deletes it by name once the holder lets go, and an
// install started meanwhile waits for that shell before it places its own.
TEST_F(OneRunAtATime, AnInstallRightAfterAnUninstallerHeldPastItsRetriesWaitsForItsShellAndEndsWhole) {
    ASSERT_EQ(run_setup(setup_, L"/S"), 0u);
    UniqueFileHandle held(CreateFileW(uninstaller_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    ASSERT_EQ(run_setup(uninstaller_, L"--silent"), 0u);
    ASSERT_TRUE(file_exists(uninstaller_)) << "it took its retired name";
    const std::wstring log = temp_ / L"install.log";
    auto install = start(setup_, L"/S --log " + quoted(log));
    ASSERT_TRUE(install);
    Sleep(2000);
    held.reset();
    ASSERT_TRUE(install->wait(LONGER_THAN_THE_WAIT_MS));
    EXPECT_EQ(install->exit_code(), 0u);
    const std::vector<std::string> events = logged_events(log);
    EXPECT_TRUE(std::any_of(events.begin(), events.end(), [](const std::string& event) {
        return event.ends_with(" ms for the removal shell of an earlier uninstall to end");
    })) << "it did not wait for the shell";
    ASSERT_TRUE(wait_for_no_command_shell(30000));
    expect_whole_install(dir_);
}

}  // namespace
}  // namespace koravale::end_to_end
