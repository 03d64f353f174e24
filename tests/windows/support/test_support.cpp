#include "support/test_support.h"

#include "system/platform/wide_string.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace koravale::testing_support {
namespace {

// Wine starts Unix programs through CreateProcessW, but neither waits for
// them nor passes their exit status on: callers look for the result.
void unix_command(const std::wstring& program, const std::wstring& arguments) {
    const std::wstring application = L"Z:" + program;  // named, or ".exe" would be tried
    std::wstring command_line = quoted(application) + L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return;
    const UniqueKernelHandle thread_handle(process.hThread), process_handle(process.hProcess);
}

std::wstring unix_path(const std::wstring& windows_path) {
    using ToUnix = char* (*)(const wchar_t*);
    const auto to_unix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!to_unix) return {};
    char* unix_name = to_unix(windows_path.c_str());
    if (!unix_name) return {};
    std::wstring name;  // Unix names are bytes; ours are ASCII
    for (const char* c = unix_name; *c; ++c) name += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    HeapFree(GetProcessHeap(), 0, unix_name);
    return name;
}

}  // namespace

void remove_tree(const std::wstring& dir) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = dir + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            const bool is_link = entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
            if (is_link && running_under_wine()) {
                unix_command(L"\\bin\\rm", L"-f " + quoted(unix_path(path)));  // Wine would delete the target
                for (int poll = 0; poll < 100 && file_exists(path); ++poll) Sleep(50);
            }
            else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !is_link)
                remove_tree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(dir.c_str());
}

std::wstring build_file(const char* variable) {
    const char* unix_path = std::getenv(variable);
    if (unix_path == nullptr) throw std::runtime_error(std::string("environment variable missing: ") + variable);
    std::wstring path = L"Z:";
    for (const char* c = unix_path; *c != '\0'; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

std::string read_file(const std::wstring& path) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) content.append(buffer, read);
    return content;
}

void write_file(const std::wstring& path, std::string_view content, DWORD attributes) {
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
        written != content.size())
        ADD_FAILURE() << "cannot write " << from_wide_lossy(path) << ": error " << GetLastError();
}

bool file_exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TempDir::TempDir() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    for (;;) {
        path_ = std::wstring(temp) + L"koravale-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create a temp folder");
    }
}

TempDir::~TempDir() { remove_tree(path_); }

std::optional<ChildProcess> ChildProcess::start(const std::wstring& command_line, const wchar_t* desktop) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.lpDesktop = const_cast<wchar_t*>(desktop);
    PROCESS_INFORMATION info{};
    // Wine has been seen to refuse a start once in about fifty, before the
    // program ran at all: said here, as the callers only see that nothing
    // started, and tried again. A file that cannot be run stays so.
    for (int attempt = 1;; ++attempt) {
        std::wstring line = command_line;
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) break;
        std::fwprintf(stderr, L"CreateProcessW failed with %lu (attempt %d): %ls\n", GetLastError(), attempt,
                      command_line.c_str());
        if (attempt == 3) return std::nullopt;
        Sleep(100);
    }
    CloseHandle(info.hThread);
    return ChildProcess(UniqueKernelHandle(info.hProcess), info.dwProcessId);
}

bool ChildProcess::wait(DWORD milliseconds) const {
    return WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
}

DWORD ChildProcess::exit_code() const {
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

HWND ChildProcess::wait_for_window(const wchar_t* window_class, DWORD milliseconds) const {
    struct Search {
        DWORD pid;
        const wchar_t* window_class;
        HWND found;
    } search{id_, window_class, nullptr};
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    do {
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto* s = reinterpret_cast<Search*>(param);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t name[256];
                if (owner == s->pid && GetClassNameW(window, name, 256) && std::wstring(name) == s->window_class) {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
    } while (!wait(50) && GetTickCount64() < deadline);
    return nullptr;
}

ChildProcess::~ChildProcess() {
    if (process_ && !wait(0)) {
        TerminateProcess(process_.get(), 99);
        wait(5000);
    }
}

std::wstring quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

bool running_under_wine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

bool run_unix_shell(const std::wstring& command, DWORD milliseconds) {
    // Wine cannot wait for a Unix program: the shell leaves its status in a
    // file, renamed into place once written.
    const TempDir temp;
    const std::wstring status_file = temp / L"status";
    const std::wstring unix_dir = L"'" + unix_path(temp.path()) + L"'";
    unix_command(L"\\bin\\sh", L"-c " + quoted(command + L"; echo $? >" + unix_dir + L"/written && mv " + unix_dir +
                                                 L"/written " + unix_dir + L"/status"));
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (!file_exists(status_file) && GetTickCount64() < deadline) Sleep(20);
    return read_file(status_file) == "0\n";
}

bool run_unix_command_on(const std::wstring& command, const std::wstring& path) {
    const std::wstring unix_name = unix_path(path);
    return !unix_name.empty() && run_unix_shell(command + L" '" + unix_name + L"'", 10000);
}

std::string unix_mode(const std::wstring& path) {
    const std::wstring unix_name = unix_path(path);
    const TempDir temp;
    const std::wstring answer = temp / L"mode";
    if (unix_name.empty() ||
        !run_unix_shell(L"stat -c %a '" + unix_name + L"' >'" + unix_path(answer) + L"'", 10000)) {
        return {};
    }
    std::string mode = read_file(answer);
    while (!mode.empty() && mode.back() == '\n') mode.pop_back();
    return mode;
}

bool make_unix_symlink(const std::wstring& link, const std::wstring& target) {
    const std::wstring unix_target = unix_path(target);
    if (unix_target.empty()) return false;
    // The link's own folder exists; its name is appended on the Unix side.
    const std::size_t slash = link.find_last_of(L'\\');
    const std::wstring unix_folder = unix_path(link.substr(0, slash));
    if (unix_folder.empty()) return false;
    const std::wstring unix_link = unix_folder + L"/" + link.substr(slash + 1);
    unix_command(L"\\bin\\ln", L"-s " + quoted(unix_target) + L" " + quoted(unix_link));
    // Wine does not wait for a Unix program: its handle is signalled at once.
    for (int poll = 0; poll < 100 && !file_exists(link); ++poll) Sleep(50);
    return file_exists(link);
}

}  // namespace koravale::testing_support
