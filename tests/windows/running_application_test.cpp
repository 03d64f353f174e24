// Closing and starting the stand-in player for real. The player is
// configured through its environment, because the program under test
// starts it with its quoted path alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/test_support.h"
#include "system/platform/wide_string.h"
#include "system/processes/running_application.h"

namespace koravale {
namespace {

using namespace testing_support;

constexpr wchar_t PLAYER_CLASS[] = L"KoraValeMainWindow";

// Variables that a started player inherits, gone again when the test ends.
class ScopedEnvironment {
public:
    void set(const wchar_t* name, const std::wstring& value) {
        SetEnvironmentVariableW(name, value.c_str());
        names_.push_back(name);
    }
    ~ScopedEnvironment() {
        for (const wchar_t* name : names_) SetEnvironmentVariableW(name, nullptr);
    }

private:
    std::vector<const wchar_t*> names_;
};

bool wait_until(DWORD milliseconds, const auto& condition) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (!condition()) {
        if (GetTickCount64() > deadline) return false;
        Sleep(50);
    }
    return true;
}

class RunningApplication : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(FindWindowW(PLAYER_CLASS, nullptr), nullptr) << "a player from elsewhere is running";
        ASSERT_TRUE(CreateDirectoryW(install_dir_.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(build_file("KORAVALE_SAMPLE_EXE").c_str(), exe_.c_str(), TRUE));
        environment_.set(L"KORAVALE_SAMPLE_CLOSE_LOG", close_log_);
    }

    std::optional<ChildProcess> start_player() const {
        auto player = ChildProcess::start(quoted(exe_));
        if (player && player->wait_for_window(PLAYER_CLASS, 20000) == nullptr) return std::nullopt;
        return player;
    }

    std::size_t closes_received() const {
        const std::string log = read_file(close_log_);
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n'));
    }

    TempDir dir_;
    const std::wstring install_dir_ = dir_ / L"Apps 播放 器";
    const std::wstring exe_ = install_dir_ + L"\\KoraVale.exe";
    const std::wstring close_log_ = dir_ / L"closes.log";
    ScopedEnvironment environment_;
};

TEST_F(RunningApplication, APlayerThatClosesIsAskedOnce) {
    auto player = start_player();
    ASSERT_TRUE(player);
    close_running_application(std::nullopt);
    EXPECT_EQ(FindWindowW(PLAYER_CLASS, nullptr), nullptr);
    EXPECT_TRUE(player->wait(10000));
    EXPECT_EQ(closes_received(), 1u);
}

TEST_F(RunningApplication, APlayerThatIgnoresWmCloseIsAskedFourTimesAndLeftRunning) {
    environment_.set(L"KORAVALE_SAMPLE_IGNORE_CLOSE", L"1");
    auto player = start_player();
    ASSERT_TRUE(player);
    close_running_application(std::nullopt);
    EXPECT_EQ(closes_received(), 4u);
    EXPECT_NE(FindWindowW(PLAYER_CLASS, nullptr), nullptr);
    EXPECT_FALSE(player->wait(0)) << "never ended by force";
}

TEST_F(RunningApplication, TheGivenProcessIsWaitedForBeforeAnyWindowIsAsked) {
    environment_.set(L"KORAVALE_SAMPLE_EXIT_AFTER_MS", L"3000");
    auto player = start_player();
    ASSERT_TRUE(player);
    const ULONGLONG started = GetTickCount64();
    close_running_application(player->id());
    const ULONGLONG waited = GetTickCount64() - started;
    EXPECT_TRUE(player->wait(0));
    EXPECT_EQ(closes_received(), 0u) << "the window was asked to close before the wait was over";
    // The wait ended with the process, well before its 8 s limit.
    EXPECT_GE(waited, 2000u);
    EXPECT_LT(waited, 7000u);
}

TEST_F(RunningApplication, AProcessThatCannotBeOpenedIsNotWaitedForAndTheLogSaysWhy) {
    constexpr std::uint32_t never_used = 0xFFFFFF00;  // far above any id the system hands out
    const ULONGLONG started = GetTickCount64();
    const SkippedFailures skipped = close_running_application(never_used);
    EXPECT_LT(GetTickCount64() - started, 2000u);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_TRUE(skipped[0].message.starts_with("打开进程 " + std::to_string(never_used) + " 失败：")) << skipped[0].message;
    EXPECT_TRUE(skipped[0].message.ends_with(" (os error 87)")) << skipped[0].message;  // invalid parameter
}

TEST_F(RunningApplication, TheLaunchedPlayerGetsItsQuotedPathAlone) {
    const std::wstring record = dir_ / L"command line.txt";
    environment_.set(L"KORAVALE_SAMPLE_RECORD", record);
    environment_.set(L"KORAVALE_SAMPLE_EXIT_AFTER_MS", L"100");

    EXPECT_FALSE(launch_application(from_wide_lossy(install_dir_ + L"\\Missing.exe")).ok());  // no message, no effect
    ASSERT_TRUE(launch_application(from_wide_lossy(exe_)).ok());

    ASSERT_TRUE(wait_until(20000, [&] { return file_exists(record); }));
    EXPECT_EQ(read_file(record), from_wide_lossy(quoted(exe_)));
    // Not watched by the launcher: wait here until it has gone, so its folder can go too.
    EXPECT_TRUE(wait_until(20000, [&] { return DeleteFileW(exe_.c_str()) != 0; }));
}

}  // namespace
}  // namespace koravale
