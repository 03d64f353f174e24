// The run log's one open file: shared by the threads of a run, and honest
// about a line the disk took only part of.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/run_log_reader.h"
#include "support/test_support.h"
#include "system/platform/wide_string.h"
#include "system/shell/run_log.h"

namespace koravale {
namespace {

using namespace testing_support;

TEST(RunLog, CopiesOnTwoThreadsWriteWholeLinesInTheOrderOfTheirStamps) {
    TempDir dir;
    const std::wstring file = dir / L"logs\\run.log";
    const RunLog log(from_wide_lossy(file));
    log.write("first");
    std::vector<std::thread> writers;
    for (const std::string name : {"window", "worker"}) {
        writers.emplace_back([copy = log, name] {
            for (int line = 0; line < 200; ++line) copy.write(name + " " + std::to_string(line));
        });
    }
    for (std::thread& writer : writers) writer.join();

    const std::vector<std::string> events = logged_events(file);  // every line stamped, stamps in order
    ASSERT_EQ(events.size(), 401u);
    EXPECT_EQ(events.front(), "first");
    for (const std::string name : {"window", "worker"}) {
        int next = 0;
        for (const std::string& event : events) {
            if (event.starts_with(name + " ")) {
                EXPECT_EQ(event, name + " " + std::to_string(next++));
            }
        }
        EXPECT_EQ(next, 200);
    }
}

// The tmpfs drive's files, gone again whatever the test's outcome.
class FilesOnTheSmallDrive {
public:
    ~FilesOnTheSmallDrive() {
        for (const std::wstring& file : files_) DeleteFileW(file.c_str());
    }
    std::wstring add(const wchar_t* name) {
        return files_.emplace_back(std::wstring(_wgetenv(L"KORAVALE_TMPFS_DRIVE")) + L":\\" + name);
    }

private:
    std::vector<std::wstring> files_;
};

// Writes until the drive takes nothing more.
void fill_drive(const std::wstring& filler) {
    const UniqueFileHandle file(CreateFileW(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    const std::string block(64 * 1024, 'f');
    for (DWORD size = static_cast<DWORD>(block.size()); size > 0; size /= 2) {
        DWORD written = 0;
        while (WriteFile(file.get(), block.data(), size, &written, nullptr) && written == size) {
        }
    }
}

// On a full tmpfs, Wine's WriteFile takes what fits in the file's last
// page and reports success, as a network share on Windows may; NTFS
// refuses such a write whole, so there the line is simply lost.
TEST(RunLog, ALineTheDiskTookOnlyPartOfIsEndedAndMarkedOnceThereIsRoomAgain) {
    FilesOnTheSmallDrive files;
    const std::wstring file = files.add(L"run.log");
    const std::wstring filler = files.add(L"filler.bin");
    // An earlier run's line that leaves 30 bytes free in the file's page:
    // room for a time stamp and "a line".
    const std::string stamp = "2026-01-01 08:00:00.000 ";
    write_file(file, stamp + std::string(4096 - 30 - stamp.size() - 2, 'x') + "\r\n");
    const RunLog log(from_wide_lossy(file));
    fill_drive(filler);
    const std::string cut_event = "a line longer than the room left";
    log.write(cut_event);
    ASSERT_TRUE(DeleteFileW(filler.c_str()));
    log.write("room again");

    const std::vector<std::string> events = logged_events(file);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[1], "a line");
    EXPECT_EQ(events[2], "log: the line above was cut short after 30 of " +
                             std::to_string(stamp.size() + cut_event.size() + 2) + " bytes");
    EXPECT_EQ(events[3], "room again");
}

}  // namespace
}  // namespace koravale
