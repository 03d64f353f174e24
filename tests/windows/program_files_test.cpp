// Placing and removing the program files on a real (Wine) file system,
// with files held open the way a closing player holds them.

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "system/files/file_deletion.h"
#include "system/files/file_identity.h"
#include "system/files/program_files.h"
#include "system/platform/os_error.h"
#include "system/platform/wide_string.h"
#include "system/shell/install_paths.h"

namespace koravale {
namespace {

using namespace testing_support;

constexpr wchar_t PLAYER_CLASS[] = L"KoraValeMainWindow";

std::string utf8(const std::wstring& path) { return from_wide_lossy(path); }

// Open for reading and writing, but without delete sharing: the file can
// be neither moved over nor deleted while this lives.
UniqueFileHandle hold_without_delete_sharing(const std::wstring& path) {
    return UniqueFileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
}

// A scanner's hold: it shares everything, so a deleted file keeps its name until it lets go.
UniqueFileHandle hold_as_a_scanner(const std::wstring& path) {
    return UniqueFileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
}

bool ends_with(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(CheckInstallPathNotFile, RefusesOnlyAnExistingFile) {
    TempDir dir;
    const std::wstring file = dir / L"KoraVale";  // a file without extension
    write_file(file, "x");
    EXPECT_EQ(check_install_path_not_file(utf8(file)).error().message,
              "所选路径 " + utf8(file) + " 是已有文件，请换一个安装目录");
    EXPECT_TRUE(check_install_path_not_file(utf8(dir.path())).ok());
    EXPECT_TRUE(check_install_path_not_file(utf8(dir / L"missing")).ok());
}

TEST(DescribeIoFailure, ShowsTheSystemsTrimmedTextOrThePermissionHint) {
    const IoError not_found = io_error_from_code(ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(ends_with(not_found.text, ". (os error 2)")) << not_found.text;  // no line break before the code
    EXPECT_EQ(describe_io_failure(WRITE_PROGRAM_FILE_VERB, "C:\\A\\KoraVale.exe.new", not_found).message,
              "写入程序文件 C:\\A\\KoraVale.exe.new 失败：" + not_found.text);

    EXPECT_EQ(describe_io_failure(CREATE_INSTALL_DIR_VERB, "C:\\Program Files\\KoraVale",
                                  io_error_from_code(ERROR_ACCESS_DENIED))
                  .message,
              "没有权限创建安装目录 C:\\Program Files\\KoraVale（例如 Program Files 需要管理员权限）。\n"
              "请选择其他目录（如 D:\\KoraVale 或用户目录），或右键以管理员身份运行安装程序。");

    const IoError unknown = io_error_from_code(0x2000FFFF);
    EXPECT_EQ(unknown.text.rfind("OS Error 536936447 (FormatMessageW() returned error ", 0), 0u) << unknown.text;
    EXPECT_TRUE(ends_with(unknown.text, ") (os error 536936447)")) << unknown.text;
}

TEST(WriteStagedProgram, WritesTheWholeImageOverAnOldStagingFile) {
    TempDir dir;
    write_file(dir / L"KoraVale.exe.new", std::string(5'000'000, 'o'));  // a leftover a scanner holds
    UniqueFileHandle scanner = hold_as_a_scanner(dir / L"KoraVale.exe.new");
    std::vector<std::uint8_t> image(3'000'001);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);

    const Result<std::string> staged = write_staged_program(utf8(dir.path()), image);
    ASSERT_TRUE(staged.ok()) << staged.error().message;
    EXPECT_EQ(*staged, utf8(dir / L"KoraVale.exe.new"));
    EXPECT_EQ(read_file(dir / L"KoraVale.exe.new"), std::string(image.begin(), image.end()));
    scanner.reset();
    WIN32_FIND_DATAW found;
    EXPECT_EQ(FindFirstFileW((dir / L"*.removing").c_str(), &found), INVALID_HANDLE_VALUE) << "the leftover stayed";
}

TEST(WriteStagedProgram, MissingDirectoryGivesTheGenericText) {
    TempDir dir;
    const std::string staged = utf8(dir / L"missing\\KoraVale.exe.new");
    const std::vector<std::uint8_t> image{1, 2, 3};
    const std::string message = write_staged_program(utf8(dir / L"missing"), image).error().message;
    EXPECT_EQ(message.rfind("写入程序文件 " + staged + " 失败：", 0), 0u) << message;
    EXPECT_TRUE(ends_with(message, " (os error 3)")) << message;
}

// A leftover keeps its own owner and list: it must go, not be reused.
TEST(WriteStagedProgram, ALeftoverThatCannotBeDeletedIsAWriteFailure) {
    TempDir dir;
    const std::wstring leftover = dir / L"KoraVale.exe.new";
    write_file(leftover, "leftover");
    const UniqueFileHandle held = hold_without_delete_sharing(leftover);
    ASSERT_TRUE(held);
    const std::string message = write_staged_program(utf8(dir.path()), std::vector<std::uint8_t>{1}).error().message;
    EXPECT_TRUE(message.starts_with("写入程序文件 " + utf8(leftover) + " 失败：")) << message;
    EXPECT_TRUE(ends_with(message, " (os error 32)")) << message;
    EXPECT_EQ(read_file(leftover), "leftover");
}

class ReplaceFileWithRetry : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileW(build_file("KORAVALE_SAMPLE_EXE").c_str(), program_.c_str(), TRUE));
        write_file(staged_, "the new program");
    }

    TempDir dir_;
    const std::wstring program_ = dir_ / L"KoraVale.exe";
    const std::wstring staged_ = dir_ / L"KoraVale.exe.new";
};

TEST_F(ReplaceFileWithRetry, ReplacesAProgramThatHoldsItsFileForAboutTwoSeconds) {
    auto player = ChildProcess::start(quoted(program_) + L" --hold-file-ms 2000");
    ASSERT_TRUE(player);
    HWND window = player->wait_for_window(PLAYER_CLASS, 20000);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_FALSE(player->wait(0)) << "the player let go of its file before the move began";

    const Status replaced = replace_file_with_retry(utf8(staged_), utf8(program_));
    ASSERT_TRUE(replaced.ok()) << replaced.error().message;
    EXPECT_EQ(read_file(program_), "the new program");
    EXPECT_FALSE(file_exists(staged_));
}

TEST_F(ReplaceFileWithRetry, GivesUpOnAFileHeldLongerAndDeletesTheStagedFile) {
    const std::string old_program = read_file(program_);
    const UniqueFileHandle held = hold_without_delete_sharing(program_);
    ASSERT_TRUE(held);

    const Status replaced = replace_file_with_retry(utf8(staged_), utf8(program_));
    ASSERT_FALSE(replaced.ok());
    EXPECT_EQ(replaced.error().message, "无法写入 " + utf8(program_) + "（请先手动退出正在运行的 KoraVale 后重试）");
    EXPECT_FALSE(file_exists(staged_));
    EXPECT_EQ(read_file(program_), old_program);
}

TEST(DeletingAFile, DeletesAReadOnlyFile) {
    // NTFS takes the extended disposition that ignores the attribute; Wine
    // (like FAT) refuses it, so there the attribute is cleared first.
    TempDir dir;
    const std::wstring file = dir / L"KoraVale.exe";
    write_file(file, "x", FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(delete_file(utf8(file)).ok());
    EXPECT_FALSE(file_exists(file));
}

TEST(DeletingAFile, ReportsTheFirstErrorAndLeavesWhatItMayNotDelete) {
    TempDir dir;
    EXPECT_EQ(delete_file(utf8(dir / L"missing")).code, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    const std::wstring held = dir / L"held.exe";
    write_file(held, "x");
    {
        const UniqueFileHandle handle = hold_without_delete_sharing(held);
        EXPECT_EQ(delete_file(utf8(held)).code, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    EXPECT_TRUE(file_exists(held));

    const std::wstring folder = dir / L"folder";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_FALSE(delete_file(utf8(folder)).ok());
    EXPECT_TRUE(file_exists(folder));
}

TEST(FileIdentity, TellsFilesFromFoldersAndResolvesTheOnDiskName) {
    TempDir dir;
    const std::wstring file = dir / L"Program.EXE";
    write_file(file, "x");
    const UniqueFileHandle exclusive(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(exclusive);  // held without any sharing, as a running installer might

    EXPECT_TRUE(is_existing_file(utf8(file)));
    EXPECT_FALSE(is_existing_file(utf8(dir.path())));
    EXPECT_FALSE(is_existing_file(utf8(dir / L"missing")));
    // A symbolic link to a file is opened as itself and is no file. Wine
    // cannot make one: its CreateSymbolicLinkW does nothing and a Unix link
    // to a file looks like the file itself.

    const std::optional<std::string> exact = canonical_path(utf8(file));
    const std::optional<std::string> other_spelling = canonical_path(utf8(dir / L"program.exe"));
    ASSERT_TRUE(exact && other_spelling);
    EXPECT_EQ(exact->rfind("\\\\?\\", 0), 0u) << *exact;
    EXPECT_TRUE(ends_with(*other_spelling, "\\Program.EXE")) << *other_spelling;
    EXPECT_EQ(*exact, *other_spelling);
    EXPECT_TRUE(canonical_path(utf8(dir.path())).has_value());
    EXPECT_FALSE(canonical_path(utf8(dir / L"missing")).has_value());
}

TEST(PlaceUninstallerCopy, CopiesTheRunningProgramOverAnOldUninstaller) {
    TempDir dir;
    write_file(dir / L"uninstall.exe", "an old uninstaller");
    write_file(dir / L"uninstall.exe.new", "a leftover");
    const UniqueFileHandle scanner = hold_as_a_scanner(dir / L"uninstall.exe.new");
    ASSERT_TRUE(place_uninstaller_copy(utf8(dir.path()), utf8(dir / L"uninstall.exe")).ok());
    const std::optional<std::string> running = running_executable_path();
    ASSERT_TRUE(running);
    EXPECT_EQ(read_file(dir / L"uninstall.exe"), read_file(to_wide(*running)));
    EXPECT_FALSE(file_exists(dir / L"uninstall.exe.new"));
}

TEST(PlaceUninstallerCopy, AnUninstallerHeldOpenStaysAndTheSystemsReasonIsGiven) {
    TempDir dir;
    const std::wstring uninstaller = dir / L"uninstall.exe";
    write_file(uninstaller, "an old uninstaller");
    const UniqueFileHandle held = hold_without_delete_sharing(uninstaller);
    ASSERT_TRUE(held);
    const Status placed = place_uninstaller_copy(utf8(dir.path()), utf8(uninstaller));
    ASSERT_FALSE(placed.ok());
    // Not the hint about a running player: the system's own text and code.
    EXPECT_TRUE(placed.error().message.starts_with("复制卸载程序 " + utf8(uninstaller) + " 失败：")) << placed.error().message;
    EXPECT_TRUE(ends_with(placed.error().message, " (os error 5)")) << placed.error().message;
    EXPECT_EQ(read_file(uninstaller), "an old uninstaller");
    EXPECT_FALSE(file_exists(dir / L"uninstall.exe.new"));
}

class RunningFromTheFolder : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileW(build_file("KORAVALE_PROGRAM_FILES_PROBE_EXE").c_str(), uninstaller_.c_str(), TRUE));
    }
    void run_uninstaller(const std::wstring& verb) {
        auto probe = ChildProcess::start(quoted(uninstaller_) + L" " + verb + L" " + quoted(dir_.path()));
        ASSERT_TRUE(probe);
        ASSERT_TRUE(probe->wait(30000));
        ASSERT_EQ(probe->exit_code(), 0u);
    }

    TempDir dir_;
    const std::wstring uninstaller_ = dir_ / L"uninstall.exe";
};

TEST_F(RunningFromTheFolder, InstalledUninstallerDoesNotCopyItself) {
    // Had it copied itself, the staging name would have been overwritten,
    // then deleted when the move over the running file kept failing.
    write_file(dir_ / L"uninstall.exe.new", "marker");
    run_uninstaller(L"place-uninstaller-copy");
    EXPECT_EQ(read_file(dir_ / L"uninstall.exe.new"), "marker");
    EXPECT_EQ(read_file(uninstaller_), read_file(build_file("KORAVALE_PROGRAM_FILES_PROBE_EXE")));
}

TEST_F(RunningFromTheFolder, OldLocationKeepsTheRunningProgramAndThereforeItself) {
    const auto others = {L"KoraVale.exe", L"KoraVale.exe.new", L"uninstall.exe.new"};
    for (const wchar_t* name : others) write_file(dir_ / name, "x");
    run_uninstaller(L"remove-old-program-files");
    for (const wchar_t* name : others) {
        EXPECT_FALSE(file_exists(dir_ / name)) << utf8(name);
    }
    EXPECT_TRUE(file_exists(uninstaller_));
}

TEST(RemoveOldProgramFiles, RemovesTheFourNamesAndThenTheEmptyFolder) {
    TempDir parent;
    const std::wstring old = parent / L"Old KoraVale";
    ASSERT_TRUE(CreateDirectoryW(old.c_str(), nullptr));
    write_file(old + L"\\KoraVale.exe", "x", FILE_ATTRIBUTE_READONLY);
    // The last is what a self-removal shell that ran out of passes leaves.
    for (const wchar_t* name :
         {L"KoraVale.exe.new", L"uninstall.exe", L"uninstall.exe.new", L"uninstall.exe.12-345.removing"}) {
        write_file(old + L"\\" + name, "x");
    }
    remove_old_program_files(utf8(old));
    EXPECT_FALSE(file_exists(old));
}

TEST(RemoveOldProgramFiles, KeepsEverythingElseAndTheFolderThatHoldsIt) {
    TempDir old;
    for (const wchar_t* name : {L"KoraVale.exe", L"uninstall.exe"}) write_file(old / name, "x");
    write_file(old / L"settings.ini", "user");
    write_file(old / L"uninstall.exe.bak", "user");
    ASSERT_TRUE(CreateDirectoryW((old / L"cache").c_str(), nullptr));
    write_file(old / L"cache\\KoraVale.exe", "nested");
    remove_old_program_files(utf8(old.path()));
    EXPECT_FALSE(file_exists(old / L"KoraVale.exe"));
    EXPECT_FALSE(file_exists(old / L"uninstall.exe"));
    EXPECT_EQ(read_file(old / L"settings.ini"), "user");
    EXPECT_EQ(read_file(old / L"uninstall.exe.bak"), "user");
    EXPECT_EQ(read_file(old / L"cache\\KoraVale.exe"), "nested");
}

TEST(RemoveRetiredUninstallers, AFolderThatCannotBeListedSaysWhy) {
    const std::string dir = "C:\\Apps\\Kora?Vale";  // a wildcard in a folder's name is no name
    const SkippedFailures skipped = remove_retired_uninstallers(dir);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_TRUE(skipped[0].message.starts_with("列出目录 " + dir + " 失败：")) << skipped[0].message;
    EXPECT_TRUE(ends_with(skipped[0].message, " (os error 123)")) << skipped[0].message;  // an invalid name
}

}  // namespace
}  // namespace koravale
