#include "system/files/file_deletion.h"

#include "product/installation/io_failure_text.h"
#include "system/files/file_disposition_ex.h"
#include "system/platform/file_sharing.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale {
namespace {

bool is_absent(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

Status skipped_removal(std::string_view verb, const std::string& path, DWORD code) {
    if (is_absent(code)) return Done{};
    return describe_failure(verb, path, io_error_from_code(code).text);
}

bool disposition_class_refused(DWORD code) {
    return code == ERROR_INVALID_PARAMETER || code == ERROR_INVALID_FUNCTION || code == ERROR_NOT_SUPPORTED;
}

bool set_attributes(HANDLE entry, FILE_BASIC_INFO info, DWORD attributes) {
    // Zero times leave the entry's times as they are.
    info.CreationTime.QuadPart = info.LastAccessTime.QuadPart = 0;
    info.LastWriteTime.QuadPart = info.ChangeTime.QuadPart = 0;
    info.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
    return SetFileInformationByHandle(entry, FileBasicInfo, &info, sizeof(info)) != 0;
}

OsStatus set_plain_disposition(HANDLE entry) {
    FILE_DISPOSITION_INFO disposition{.DeleteFile = TRUE};
    if (SetFileInformationByHandle(entry, FileDispositionInfo, &disposition, sizeof(disposition))) return {};
    return {GetLastError()};
}

// The plain disposition refuses read-only entries, and cannot ignore the
// attribute itself.
OsStatus mark_for_deletion_clearing_read_only(HANDLE entry) {
    const UniqueFileHandle attributes_handle(ReOpenFile(entry, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, SHARE_ALL,
                                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT));
    FILE_BASIC_INFO info;
    if (!attributes_handle ||
        !GetFileInformationByHandleEx(attributes_handle.get(), FileBasicInfo, &info, sizeof(info)) ||
        !(info.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
        return set_plain_disposition(entry);
    }
    const DWORD original = info.FileAttributes;
    if (!set_attributes(attributes_handle.get(), info, original & ~FILE_ATTRIBUTE_READONLY)) {
        return set_plain_disposition(entry);
    }
    const OsStatus marked = set_plain_disposition(entry);
    if (!marked) set_attributes(attributes_handle.get(), info, original);
    return marked;
}

}  // namespace

OsStatus mark_for_deletion(HANDLE entry) {
    FILE_DISPOSITION_INFO_EX disposition{.Flags = FILE_DISPOSITION_FLAG_DELETE | FILE_DISPOSITION_FLAG_POSIX_SEMANTICS |
                                                  FILE_DISPOSITION_FLAG_IGNORE_READONLY_ATTRIBUTE};
    if (SetFileInformationByHandle(entry, FileDispositionInfoEx, &disposition, sizeof(disposition))) return {};
    const DWORD refusal = GetLastError();
    if (!disposition_class_refused(refusal)) return {refusal};
    return mark_for_deletion_clearing_read_only(entry);
}

OsStatus delete_file(const std::string& path) {
    const std::wstring wide = to_wide(path);
    if (DeleteFileW(wide.c_str())) return {};
    const DWORD first_error = GetLastError();
    if (first_error != ERROR_ACCESS_DENIED) return {first_error};
    // Closing the handle carries out the deletion.
    const UniqueFileHandle entry(CreateFileW(wide.c_str(), DELETE, SHARE_ALL, nullptr, OPEN_EXISTING,
                                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (entry && mark_for_deletion(entry.get())) return {};
    return {first_error};
}

Status delete_file_best_effort(const std::string& path) {
    const OsStatus deleted = delete_file(path);
    return deleted ? Status(Done{}) : skipped_removal(DELETE_VERB, path, deleted.code);
}

Status remove_directory_if_empty(const std::string& dir) {
    const std::wstring wide = to_wide(dir);
    if (RemoveDirectoryW(wide.c_str())) return Done{};
    const DWORD error = GetLastError();
    return skipped_removal(REMOVE_DIRECTORY_VERB, dir, error);
}

}  // namespace koravale
