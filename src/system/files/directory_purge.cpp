#include "system/files/directory_purge.h"

#include <windows.h>
#include <winternl.h>

#include <string>
#include <vector>

#include "product/installation/io_failure_text.h"
#include "system/files/file_deletion.h"
#include "system/platform/file_sharing.h"
#include "system/platform/grown_buffer.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale {
namespace {

constexpr NTSTATUS STATUS_OK = 0;
constexpr NTSTATUS STATUS_DELETE_PENDING_CODE = static_cast<NTSTATUS>(0xC0000056);
constexpr NTSTATUS STATUS_SHARING_VIOLATION_CODE = static_cast<NTSTATUS>(0xC0000043);
constexpr NTSTATUS STATUS_OBJECT_NAME_NOT_FOUND_CODE = static_cast<NTSTATUS>(0xC0000034);
struct Entry {
    std::wstring name;
    bool is_directory = false;  // a real folder, not a link to one
    bool is_link = false;
};


enum class Opened { ok, gone, failed };

SetupError entry_failure(const std::string& path, DWORD code) {
    return describe_failure(DELETE_VERB, path, io_error_from_code(code).text);
}

SetupError entry_failure(const std::string& path, std::string_view reason) {
    return describe_failure(DELETE_VERB, path, reason);
}

// The entry `name` inside the open folder `parent`, as the link itself when
// it is one; retried while another process holds it without sharing. A
// failure leaves its system error code in `error`.
Opened open_relative(HANDLE parent, const std::wstring& name, bool is_directory, UniqueFileHandle& entry,
                     DWORD& error) {
    UNICODE_STRING object_name;
    object_name.Buffer = const_cast<PWSTR>(name.c_str());
    object_name.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    object_name.MaximumLength = object_name.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &object_name, OBJ_CASE_INSENSITIVE, parent, nullptr);
    const ACCESS_MASK access = DELETE | SYNCHRONIZE | FILE_READ_ATTRIBUTES | (is_directory ? FILE_LIST_DIRECTORY : 0);
    const ULONG options = FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT;
    for (int attempt = 0; attempt < PURGE_BUSY_ATTEMPTS; ++attempt) {
        IO_STATUS_BLOCK io{};
        HANDLE handle = INVALID_HANDLE_VALUE;
        const NTSTATUS status =
            NtCreateFile(&handle, access, &attributes, &io, nullptr, 0, SHARE_ALL, FILE_OPEN, options, nullptr, 0);
        if (status == STATUS_OK) {
            entry.reset(handle);
            return Opened::ok;
        }
        if (status == STATUS_DELETE_PENDING_CODE || status == STATUS_OBJECT_NAME_NOT_FOUND_CODE) return Opened::gone;
        error = RtlNtStatusToDosError(status);
        if (status != STATUS_SHARING_VIOLATION_CODE) return Opened::failed;
        SwitchToThread();
    }
    return Opened::failed;
}

// Every name in the folder, read before anything in it is deleted.
OsStatus list_entries(HANDLE dir, std::vector<Entry>& entries) {
    alignas(8) std::byte buffer[16 * 1024];
    FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!GetFileInformationByHandleEx(dir, request, buffer, sizeof(buffer))) {
            const DWORD error = GetLastError();
            return {error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : error};
        }
        request = FileIdBothDirectoryInfo;
        for (std::size_t offset = 0;;) {
            const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + offset);
            std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                const bool is_link = info->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
                const bool is_folder = info->FileAttributes & FILE_ATTRIBUTE_DIRECTORY;
                entries.push_back({std::move(name), is_folder && !is_link, is_link});
            }
            if (info->NextEntryOffset == 0) break;
            offset += info->NextEntryOffset;
        }
    }
}

// A folder whose entries are still going away is retried for a while.
OsStatus mark_with_retries(HANDLE entry) {
    OsStatus marked;
    for (int attempt = 0; attempt < PURGE_BUSY_ATTEMPTS; ++attempt) {
        marked = mark_for_deletion(entry);
        if (marked) return marked;
        if (marked.code != ERROR_DIR_NOT_EMPTY && marked.code != ERROR_SHARING_VIOLATION) return marked;
        SwitchToThread();
    }
    return marked;
}

Status remove_entry(HANDLE entry_handle, bool is_directory, const std::string& path);

// Whether the open entry is a link itself rather than what it points to.
bool handle_is_link(HANDLE entry) {
    FILE_ATTRIBUTE_TAG_INFO info;
    return GetFileInformationByHandleEx(entry, FileAttributeTagInfo, &info, sizeof(info)) &&
           (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::wstring final_path(HANDLE entry) {
    return text_from_growing_buffer([&](wchar_t* buffer, DWORD size) {
               return GetFinalPathNameByHandleW(entry, buffer, size, 0);
           }).value_or(std::wstring());
}

// The open entry is the one named in the folder, not something a link
// leads to: its final path is the folder's followed by its name.
bool is_entry_itself(HANDLE entry, const std::wstring& folder_path, const std::wstring& name) {
    const std::wstring expected = folder_path + L"\\" + name;
    const std::wstring actual = final_path(entry);
    return !folder_path.empty() &&
           CompareStringOrdinal(actual.data(), static_cast<int>(actual.size()), expected.data(),
                                static_cast<int>(expected.size()), TRUE) == CSTR_EQUAL;
}

// `path` names the open folder in failure texts.
Status remove_contents(HANDLE dir, const std::string& path) {
    std::vector<Entry> entries;
    if (const OsStatus listed = list_entries(dir, entries); !listed) return entry_failure(path, listed.code);
    const std::wstring folder_path = final_path(dir);
    for (const Entry& child : entries) {
        const std::string child_path = path + "\\" + from_wide_lossy(child.name);
        UniqueFileHandle handle;
        DWORD error = ERROR_SUCCESS;
        const Opened opened = open_relative(dir, child.name, child.is_directory, handle, error);
        if (opened == Opened::gone) continue;
        if (opened == Opened::failed) return entry_failure(child_path, error);
        // Where a link cannot be opened as itself (Wine hands out its
        // target), deleting through the handle would delete the target.
        if (child.is_link && !handle_is_link(handle.get())) return entry_failure(child_path, LINK_NOT_ITSELF_TEXT);
        if (!is_entry_itself(handle.get(), folder_path, child.name)) return entry_failure(child_path, NOT_ITSELF_TEXT);
        if (Status removed = remove_entry(handle.get(), child.is_directory, child_path); !removed) return removed;
    }
    return Done{};
}

// The entry is deleted when its handle closes, which the caller does.
Status remove_entry(HANDLE entry, bool is_directory, const std::string& path) {
    if (is_directory) {
        if (Status emptied = remove_contents(entry, path); !emptied) return emptied;
    }
    if (const OsStatus marked = mark_with_retries(entry); !marked) return entry_failure(path, marked.code);
    return Done{};
}

}  // namespace

Status purge_directory_tree(const std::string& dir) {
    const std::wstring path = to_wide(dir);
    WIN32_FIND_DATAW listed;
    {
        const UniqueFindHandle find(
            FindFirstFileExW(path.c_str(), FindExInfoBasic, &listed, FindExSearchNameMatch, nullptr, 0));
        if (!find) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Done{};
            return entry_failure(dir, error);
        }
    }
    UniqueFileHandle root(CreateFileW(path.c_str(), DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                      SHARE_ALL, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!root) return entry_failure(dir, GetLastError());
    const bool is_link = handle_is_link(root.get());
    if ((listed.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && !is_link) {
        return entry_failure(dir, LINK_NOT_ITSELF_TEXT);
    }
    const bool is_folder = listed.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    return remove_entry(root.get(), is_folder && !is_link, dir);
}

}  // namespace koravale
