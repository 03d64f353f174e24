// Install folders whose names mean something to the command shell: the
// self-removal shell deletes the uninstaller and its folder and never a
// bystander named like a piece of the path or like its expansion.

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "system/platform/wide_string.h"

namespace koravale {
namespace {

using namespace testing_support;

struct ShellTextCase {
    const wchar_t* label;
    const wchar_t* install_dir;  // under a fresh folder; its parents are made
    const wchar_t* bystander;    // a folder holding an uninstall.exe of its own
    bool removed;                // whether the shell may remove the install folder
};

// The shell substitutes %i (its loop variable) and %NAME% even between
// quotes; such folders keep their uninstaller rather than risk another.
const ShellTextCase CASES[] = {
    {L"ampersand", L"Kora&Vale", L"Kora", true},
    {L"caret", L"Kora^Vale", L"KoraVale", true},
    {L"parentheses", L"Apps (x86)\\KoraVale", L"Apps", true},
    {L"exclamation", L"Kora!Vale!", L"KoraVale", true},
    {L"loop variable", L"100%idle\\KoraVale", L"1001dle\\KoraVale", false},
    {L"environment variable", L"%KORAVALE_SIBLING%\\KoraVale", L"sibling\\KoraVale", false},
};

void make_folders(const std::wstring& path) {
    for (std::size_t separator = path.find(L'\\', 3); separator != std::wstring::npos;
         separator = path.find(L'\\', separator + 1)) {
        CreateDirectoryW(path.substr(0, separator).c_str(), nullptr);
    }
    CreateDirectoryW(path.c_str(), nullptr);
}

bool gone_within(const std::wstring& path, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 100) {
        if (!file_exists(path)) return true;
        Sleep(100);
    }
    return !file_exists(path);
}

TEST(SelfRemovalShellText, RemovesOnlyTheUninstallerAndItsFolder) {
    SetEnvironmentVariableW(L"KORAVALE_SIBLING", L"sibling");
    for (const ShellTextCase& test : CASES) {
        SCOPED_TRACE(testing::Message() << "case: " << from_wide_lossy(test.label));
        TempDir root;
        const std::wstring install_dir = root / test.install_dir;
        const std::wstring uninstaller = install_dir + L"\\uninstall.exe";
        const std::wstring bystander = root / test.bystander;
        make_folders(install_dir);
        make_folders(bystander);
        const std::wstring probe = build_file("KORAVALE_PROGRAM_FILES_PROBE_EXE");
        ASSERT_TRUE(CopyFileW(probe.c_str(), uninstaller.c_str(), TRUE));
        ASSERT_TRUE(CopyFileW(probe.c_str(), (bystander + L"\\uninstall.exe").c_str(), TRUE));

        auto run = ChildProcess::start(quoted(uninstaller) + L" schedule-self-removal 500");
        ASSERT_TRUE(run);
        ASSERT_TRUE(run->wait(30000));
        ASSERT_EQ(run->exit_code(), 0u);

        // Waiting is the behaviour here: the shell retries about once a second.
        EXPECT_EQ(gone_within(install_dir, test.removed ? 15000 : 4000), test.removed);
        EXPECT_EQ(file_exists(uninstaller), !test.removed);
        EXPECT_TRUE(file_exists(bystander + L"\\uninstall.exe"));
    }
    SetEnvironmentVariableW(L"KORAVALE_SIBLING", nullptr);
}

}  // namespace
}  // namespace koravale
