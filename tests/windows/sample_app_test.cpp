// The stand-in player must behave as the tests of the setup program assume:
// it quits on WM_CLOSE, can refuse to, can hold its file, records its command line.

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace koravale {
namespace {

using namespace testing_support;

constexpr wchar_t PLAYER_CLASS[] = L"KoraValeMainWindow";

class SampleApp : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CopyFileW(build_file("KORAVALE_SAMPLE_EXE").c_str(), exe_.c_str(), TRUE)); }

    TempDir dir_;
    const std::wstring exe_ = dir_ / L"KoraVale.exe";
};

TEST_F(SampleApp, QuitsOnWmClose) {
    auto app = ChildProcess::start(quoted(exe_));
    ASSERT_TRUE(app);
    HWND window = app->wait_for_window(PLAYER_CLASS, 20000);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(app->wait(10000));
    EXPECT_EQ(app->exit_code(), 0u);
}

TEST_F(SampleApp, CanIgnoreWmClose) {
    auto app = ChildProcess::start(quoted(exe_) + L" --ignore-close");
    ASSERT_TRUE(app);
    HWND window = app->wait_for_window(PLAYER_CLASS, 20000);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(app->wait(1500));
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(SampleApp, HoldsItsFileAfterItsWindowHasClosed) {
    // A running program's image cannot be replaced anyway (on Windows as
    // under Wine); the hold makes the file stay locked after the window is gone.
    const std::wstring replacement = dir_ / L"KoraVale.exe.new";
    ASSERT_TRUE(CopyFileW(exe_.c_str(), replacement.c_str(), TRUE));

    auto app = ChildProcess::start(quoted(exe_) + L" --hold-file-ms 6000");
    ASSERT_TRUE(app);
    HWND window = app->wait_for_window(PLAYER_CLASS, 20000);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    for (int attempt = 0; attempt < 150 && IsWindow(window); ++attempt) Sleep(20);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(app->wait(0)) << "ended before its hold was over";
    EXPECT_FALSE(MoveFileExW(replacement.c_str(), exe_.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    ASSERT_TRUE(app->wait(20000));
    EXPECT_EQ(app->exit_code(), 0u);
    EXPECT_TRUE(MoveFileExW(replacement.c_str(), exe_.c_str(), MOVEFILE_REPLACE_EXISTING)) << GetLastError();
}

TEST_F(SampleApp, RecordsItsCommandLineFromTheEnvironment) {
    // The setup program starts the player with its quoted path alone, so
    // the switch has to come through the environment.
    const std::wstring record = dir_ / L"command line.txt";
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_RECORD", record.c_str());
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_EXIT_AFTER_MS", L"100");
    auto app = ChildProcess::start(quoted(exe_));
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_RECORD", nullptr);
    SetEnvironmentVariableW(L"KORAVALE_SAMPLE_EXIT_AFTER_MS", nullptr);
    ASSERT_TRUE(app);
    ASSERT_TRUE(app->wait(20000));
    EXPECT_EQ(app->exit_code(), 0u);
    std::string expected;
    for (wchar_t c : quoted(exe_)) expected += static_cast<char>(c);  // the temp path is ASCII
    EXPECT_EQ(read_file(record), expected);
}

}  // namespace
}  // namespace koravale
