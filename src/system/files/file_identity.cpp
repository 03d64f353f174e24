#include "system/files/file_identity.h"

#include <windows.h>

#include "common/windows_path.h"
#include "system/platform/file_sharing.h"
#include "system/platform/grown_buffer.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale {
namespace {

struct EntryKind {
    DWORD attributes;
    DWORD reparse_tag;
};

enum class Links { Follow, OpenItself };

// No access rights asked, so an entry another process holds without
// sharing still opens; directories open too.
UniqueFileHandle open_entry(const std::wstring& path, Links links) {
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (links == Links::OpenItself ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    return UniqueFileHandle(CreateFileW(path.c_str(), 0, SHARE_ALL, nullptr, OPEN_EXISTING, flags, nullptr));
}

// The entry itself, not what a link names: a link to a file is no file.
std::optional<EntryKind> entry_kind(const std::wstring& path) {
    if (UniqueFileHandle entry = open_entry(path, Links::OpenItself)) {
        FILE_ATTRIBUTE_TAG_INFO info;
        if (!GetFileInformationByHandleEx(entry.get(), FileAttributeTagInfo, &info, sizeof(info))) return std::nullopt;
        return EntryKind{info.FileAttributes, info.ReparseTag};
    }
    if (GetLastError() != ERROR_SHARING_VIOLATION) return std::nullopt;
    // A few system files refuse even that; their folder still lists them.
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(
        FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    if (!find) return std::nullopt;
    const bool reparse = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    return EntryKind{data.dwFileAttributes, reparse ? data.dwReserved0 : 0};
}

}  // namespace

bool is_existing_file(const std::string& path) {
    if (path.empty()) return false;
    const std::optional<EntryKind> kind = entry_kind(to_wide(path));
    if (!kind) return false;
    if (kind->attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    const bool symbolic_link =
        (kind->attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(kind->reparse_tag);
    return !symbolic_link;
}

std::optional<std::string> canonical_path(const std::string& path) {
    if (path.empty()) return std::nullopt;
    const UniqueFileHandle entry = open_entry(to_wide(path), Links::Follow);
    if (!entry) return std::nullopt;
    const std::optional<std::wstring> name = text_from_growing_buffer([&](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(entry.get(), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    if (!name) return std::nullopt;
    return from_wide_strict(*name);
}

std::optional<std::string> running_executable_path() {
    // On truncation the answer is the buffer's size, with no size needed.
    const std::optional<std::wstring> path = text_from_growing_buffer(
        [](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
    if (!path) return std::nullopt;
    return from_wide_strict(*path);
}

bool is_running_executable(const std::string& path) {
    const std::optional<std::string> exe = running_executable_path();
    if (!exe) return false;
    const std::optional<std::string> running = canonical_path(*exe);
    const std::optional<std::string> named = canonical_path(path);
    return running && named && same_canonical_path(*running, *named);
}

std::optional<FileIdentity> file_identity(const std::string& path) {
    if (path.empty()) return std::nullopt;
    const UniqueFileHandle entry = open_entry(to_wide(path), Links::Follow);
    BY_HANDLE_FILE_INFORMATION info;
    if (!entry || !GetFileInformationByHandle(entry.get(), &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

}  // namespace koravale
