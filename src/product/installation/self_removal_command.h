#pragma once
// The command line of the hidden shell that deletes the uninstaller and
// its then empty folder after the uninstaller has exited.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace koravale {

// {} takes the arguments in turn; {2} names the third again. /D and /V:OFF
// keep the user's AutoRun commands and delayed expansion out: with the
// latter on, a "!" in a path would make it name another one.
inline constexpr std::string_view SELF_REMOVAL_TEMPLATE =
    "\"{}\" /D /V:OFF /S /C \"for /L %i in (1,1,10) do (del /F /Q \"{}\" >NUL 2>&1 & rmdir \"{}\" >NUL 2>&1 & "
    "if not exist \"{2}\" exit /b 0 & ping -n 2 127.0.0.1 >NUL)\"";

inline constexpr std::string_view DEFAULT_SYSTEM_ROOT = "C:\\Windows";

// The SystemRoot variable's value, or the default when it is missing.
std::string system_root_or_default(const std::optional<std::string>& environment_value);

std::string command_shell_path(std::string_view system_root);

std::string self_removal_command_line(std::string_view command_shell, std::string_view uninstaller,
                                      std::string_view install_dir);

// The shell names a path, not a file: under its own name the uninstaller's
// path may already hold the uninstaller of an install made right after
// this uninstall. So the running uninstaller first takes a name no install
// writes, "uninstall.exe.<process id>-<ticks>.removing", beside itself.
std::string retired_uninstaller_path(std::string_view uninstaller, std::uint32_t process_id, std::uint64_t ticks);
// Whether a file name has that form (ASCII case ignored), for the
// uninstaller or for the program: what a shell that could not finish, or a
// staging leftover put aside, left behind.
bool is_retired_program_file_name(std::string_view file_name);

// Whether a path means only itself on the shell's command line. The shell
// expands %NAME% and its loop variable %i even between quotes, so a path
// with a percent sign could name another file or folder to it.
bool safe_for_command_shell(std::string_view path);

}  // namespace koravale
