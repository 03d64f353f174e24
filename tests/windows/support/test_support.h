#pragma once
// Helpers for tests that run under Wine: the build's files as Windows
// paths, child processes, and throwaway folders.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "system/platform/unique_handle.h"

namespace koravale::testing_support {

// A build file named by an environment variable (a Unix path), as a
// Windows path through Wine's Z: drive.
std::wstring build_file(const char* variable);

std::string read_file(const std::wstring& path);
// Creates or replaces the file with the content; the running test fails when it cannot.
void write_file(const std::wstring& path, std::string_view content, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
// The folder and everything in it; links are removed, never followed.
void remove_tree(const std::wstring& dir);
bool file_exists(const std::wstring& path);

// A fresh folder under the user's temp folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// A started program; ended by force if a test leaves it running.
class ChildProcess {
public:
    // In the given "station\\desktop", or in this process's own.
    static std::optional<ChildProcess> start(const std::wstring& command_line, const wchar_t* desktop = nullptr);

    // True when the process ended within the time.
    bool wait(DWORD milliseconds) const;
    DWORD exit_code() const;
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }
    // The process's visible top-level window of the class, waiting up to the time for it.
    HWND wait_for_window(const wchar_t* window_class, DWORD milliseconds) const;

    ChildProcess(ChildProcess&&) = default;
    ChildProcess& operator=(ChildProcess&&) = default;
    ~ChildProcess();

private:
    ChildProcess(UniqueKernelHandle process, DWORD id) : process_(std::move(process)), id_(id) {}
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};

std::wstring quoted(const std::wstring& text);

bool running_under_wine();

// A command of the Unix shell (Wine only), waited for up to the time; true
// when it ended in time and succeeded.
bool run_unix_shell(const std::wstring& command, DWORD milliseconds);

// A Unix command given the entry's Unix path as its last argument
// ("chmod 666", "chown nobody"); Wine only. True when it succeeded.
bool run_unix_command_on(const std::wstring& command, const std::wstring& path);

// The Unix permission bits of the entry in octal ("755"), empty when they
// cannot be read. Wine only: it keeps a file's access list in those bits.
std::string unix_mode(const std::wstring& path);

// A symbolic link made on the Unix side (Wine only: its CreateSymbolicLinkW
// does nothing). Wine lists a link to a folder as a reparse point, as
// Windows does, but a link to a file as the file itself.
bool make_unix_symlink(const std::wstring& link, const std::wstring& target);

}  // namespace koravale::testing_support
