#include "product/installation/self_removal_command.h"

#include <gtest/gtest.h>


namespace koravale {
namespace {

TEST(SelfRemovalCommand, QuotesEveryPathWholeAndNamesTheDirectoryTwice) {
    EXPECT_EQ(self_removal_command_line("C:\\Windows\\System32\\cmd.exe", "D:\\My Apps\\KoraVale\\uninstall.exe",
                                        "D:\\My Apps\\KoraVale"),
              "\"C:\\Windows\\System32\\cmd.exe\" /D /V:OFF /S /C \"for /L %i in (1,1,10) do ("
              "del /F /Q \"D:\\My Apps\\KoraVale\\uninstall.exe\" >NUL 2>&1 & "
              "rmdir \"D:\\My Apps\\KoraVale\" >NUL 2>&1 & "
              "if not exist \"D:\\My Apps\\KoraVale\" exit /b 0 & ping -n 2 127.0.0.1 >NUL)\"");
}

TEST(SelfRemovalCommand, OnlyAPercentSignMakesAPathUnsafeForTheShell) {
    EXPECT_TRUE(safe_for_command_shell("D:\\Apps & Tools (x86)\\Kora^Vale!\\uninstall.exe"));
    EXPECT_FALSE(safe_for_command_shell("D:\\100%idle\\KoraVale"));
    EXPECT_FALSE(safe_for_command_shell("D:\\%USERNAME%\\KoraVale"));
    EXPECT_FALSE(safe_for_command_shell("%"));
}

TEST(RetiredUninstaller, TakesANameNoInstallWritesAndIsKnownByIt) {
    const std::string retired = retired_uninstaller_path("D:\\Apps\\KoraVale\\uninstall.exe", 4242, 987654321);
    EXPECT_EQ(retired, "D:\\Apps\\KoraVale\\uninstall.exe.4242-987654321.removing");
    EXPECT_TRUE(is_retired_program_file_name(retired.substr(retired.rfind('\\') + 1)));
    for (const char* name : {"UNINSTALL.EXE.1-2.REMOVING", "KoraVale.exe.1-2.removing"})
        EXPECT_TRUE(is_retired_program_file_name(name)) << name;
    for (const char* name : {"uninstall.exe", "uninstall.exe.new", "uninstall.exe.removing", "uninstall.exe.-.removing",
                             "uninstall.exe.12.removing", "uninstall.exe.1-2x.removing", "uninstall.exe.1-2.removing.txt",
                             "KoraVale.exe.new.1-2.removing", "notes uninstall.exe.1-2.removing"}) {
        EXPECT_FALSE(is_retired_program_file_name(name)) << name;
    }
}

TEST(SelfRemovalCommand, ShellLiesInTheSystemRootOrInCWindows) {
    EXPECT_EQ(command_shell_path(system_root_or_default("E:\\WINNT")), "E:\\WINNT\\System32\\cmd.exe");
    EXPECT_EQ(command_shell_path(system_root_or_default(std::nullopt)), "C:\\Windows\\System32\\cmd.exe");
    EXPECT_EQ(system_root_or_default(std::nullopt), "C:\\Windows");
}

}  // namespace
}  // namespace koravale
