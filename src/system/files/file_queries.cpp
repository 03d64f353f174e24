#include "system/files/file_queries.h"

#include <windows.h>

#include "system/platform/file_sharing.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale {
namespace {

// A file opened by another process without sharing still lists in its folder.
bool listed_in_folder(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(
        FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    return static_cast<bool>(find);
}

// Attribute access with backup semantics opens directories too, and never
// needs the rights a read or a write would. Links are followed.
UniqueFileHandle open_for_attributes(const std::wstring& path) {
    return UniqueFileHandle(
        CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

}  // namespace

bool path_exists(const std::string& path) {
    if (path.empty()) return false;
    const std::wstring wide = to_wide(path);
    UniqueFileHandle file = open_for_attributes(wide);
    if (!file) {
        return GetLastError() == ERROR_SHARING_VIOLATION && listed_in_folder(wide);
    }
    BY_HANDLE_FILE_INFORMATION information;
    return GetFileInformationByHandle(file.get(), &information) != 0;
}

bool is_existing_directory(const std::string& path) {
    if (path.empty()) return false;
    // Opened rather than asked for attributes, which would describe a link
    // itself: a dangling link is no folder, a link to one is.
    UniqueFileHandle folder = open_for_attributes(to_wide(path));
    BY_HANDLE_FILE_INFORMATION information;
    return folder && GetFileInformationByHandle(folder.get(), &information) &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::uint64_t> query_free_space(const std::string& drive_root) {
    const std::wstring wide = to_wide(drive_root);
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(wide.c_str(), &available, nullptr, nullptr)) return std::nullopt;
    return available.QuadPart;
}

DiskQueries platform_disk_queries() { return {path_exists, query_free_space}; }

}  // namespace koravale
