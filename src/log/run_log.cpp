#include "log/run_log.h"

#include <windows.h>
#include <shlobj.h>

#include "log/log_line.h"
#include "system/unique_handle.h"
#include "system/wide_string.h"

namespace koravale {
namespace {

constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::optional<std::wstring> full_path(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return std::nullopt;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

// Append access only: every write lands at the end as one piece, also
// when another setup process appends to the same file.
UniqueFileHandle open_for_append(const std::wstring& path) {
    return UniqueFileHandle(
        CreateFileW(path.c_str(), FILE_APPEND_DATA, SHARE_ALL, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void create_parent_folders(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator != std::wstring::npos) SHCreateDirectoryExW(nullptr, path.substr(0, separator).c_str(), nullptr);
}

LogTime local_time() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

}  // namespace

RunLog::RunLog(const std::optional<std::string>& file) {
    if (!file) return;
    const std::optional<std::wstring> full = full_path(to_wide(*file));
    file_ = full ? from_wide_lossy(*full) : *file;
}

void RunLog::write(std::string_view event) const {
    if (!file_) return;
    const std::string line = format_log_line(local_time(), event);
    const std::wstring path = to_wide(*file_);
    UniqueFileHandle file = open_for_append(path);
    if (!file && GetLastError() == ERROR_PATH_NOT_FOUND) {
        create_parent_folders(path);
        file = open_for_append(path);
    }
    if (!file) return;
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace koravale
