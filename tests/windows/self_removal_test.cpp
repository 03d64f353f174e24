// The hidden shell really deletes an exited uninstaller and its folder.

#include <gtest/gtest.h>

#include "sequences/setup_lock_wait.h"
#include "support/test_support.h"
#include "system/platform/wide_string.h"
#include "system/processes/self_removal.h"

namespace koravale {
namespace {

using namespace testing_support;

class SelfRemoval : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW(install_dir_.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(build_file("KORAVALE_PROGRAM_FILES_PROBE_EXE").c_str(), uninstaller_.c_str(), TRUE));
    }

    // The probe, copied in as uninstall.exe, starts the shell for its own
    // file and lives on a while, so the shell's first pass meets a running program.
    void run_uninstaller() {
        auto probe = ChildProcess::start(quoted(uninstaller_) + L" schedule-self-removal 1500");
        ASSERT_TRUE(probe);
        ASSERT_TRUE(probe->wait(30000));
        ASSERT_EQ(probe->exit_code(), 0u);
    }

    // Waiting is the behaviour here: the shell retries about once a second.
    static bool gone_within_15_seconds(const std::wstring& path) {
        for (int poll = 0; poll < 150; ++poll) {
            if (!file_exists(path)) return true;
            Sleep(100);
        }
        return false;
    }

    TempDir parent_;
    const std::wstring install_dir_ = parent_ / L"My Apps KoraVale";
    const std::wstring uninstaller_ = install_dir_ + L"\\uninstall.exe";
};

TEST_F(SelfRemoval, DeletesTheUninstallerAndThenItsEmptyFolder) {
    run_uninstaller();
    EXPECT_TRUE(gone_within_15_seconds(install_dir_));
    EXPECT_FALSE(file_exists(uninstaller_));
}

TEST_F(SelfRemoval, LeavesAFolderThatHoldsAUsersFileAndNeedsNoSystemRoot) {
    // Started from this test itself: a child would not show the fallback,
    // as Wine gives every new process a SystemRoot of its own.
    const std::wstring user_file = install_dir_ + L"\\notes.txt";
    ASSERT_TRUE(UniqueFileHandle(CreateFileW(user_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));
    wchar_t system_root[MAX_PATH];
    ASSERT_GT(GetEnvironmentVariableW(L"SystemRoot", system_root, MAX_PATH), 0u);
    SetEnvironmentVariableW(L"SystemRoot", nullptr);
    const Status started = start_removal_shell(from_wide_lossy(uninstaller_), from_wide_lossy(install_dir_));
    SetEnvironmentVariableW(L"SystemRoot", system_root);

    ASSERT_TRUE(started.ok()) << started.error().message;
    EXPECT_TRUE(gone_within_15_seconds(uninstaller_));
    EXPECT_TRUE(file_exists(user_file));
    EXPECT_TRUE(file_exists(install_dir_));
}

// A deployment tool waits until its pipe closes: the shell must not hold it
// for its ten seconds. It holds the marker an install waits for, and a cancel
// made as that wait ends, before the window heard so, still ends the install.
TEST_F(SelfRemoval, HoldsTheMarkerButNoHandleOfItsCallerAndACancelAsTheWaitForItEndsCounts) {
    write_file(install_dir_ + L"\\notes.txt", "a user's");  // the shell tries for all its passes
    HANDLE read_end = nullptr, write_end = nullptr;
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    ASSERT_TRUE(CreatePipe(&read_end, &write_end, &inheritable, 0));
    const UniqueKernelHandle reader(read_end);
    Result<SetupLock> lock = SetupLock::open();
    ASSERT_TRUE(lock && lock->take(0));
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, write_end);
    const Status started = start_removal_shell(from_wide_lossy(uninstaller_), from_wide_lossy(install_dir_),
                                               lock->make_removal_shell_marker()->get());
    SetStdHandle(STD_OUTPUT_HANDLE, output);
    CloseHandle(write_end);
    ASSERT_TRUE(started.ok()) << started.error().message;
    EXPECT_FALSE(PeekNamedPipe(read_end, nullptr, 0, nullptr, nullptr, nullptr)) << "the shell holds the pipe";

    const UniqueKernelHandle cancel(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    WaitCancellation cancellation(cancel.get(), [&](bool cancellable) { if (!cancellable) SetEvent(cancel.get()); });
    const ProgressReporter progress;
    const RunLog log;
    SequenceStages stages(progress, log);
    EXPECT_FALSE(wait_for_removal_shell(stages, *lock, &cancellation).ok());
    EXPECT_TRUE(cancellation.cancelled()) << "the wait ended without the cancel, or never began";
}

}  // namespace
}  // namespace koravale
