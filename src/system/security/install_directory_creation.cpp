#include "system/security/install_directory_creation.h"

#include <windows.h>

#include <optional>

#include "common/windows_path.h"
#include "product/installation/io_failure_text.h"
#include "system/platform/os_error.h"
#include "system/platform/wide_string.h"
#include "system/security/install_directory_security.h"

namespace koravale {
namespace {

bool is_directory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct DirectoryCreation {
    DWORD error = ERROR_SUCCESS;  // the deepest failure
    bool created = false;         // false: it was there already, or appeared meanwhile
};

// Missing parents first. Each folder gets the given security in the call
// that creates it, so none is ever there without it: a parent with the
// drive root's entries would let another account rename the folders
// below it away and put its own in their place.
DirectoryCreation create_directory_tree(const std::wstring& dir, SECURITY_ATTRIBUTES* security) {
    if (CreateDirectoryW(dir.c_str(), security)) return {.created = true};
    DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) {
        const std::optional<std::wstring_view> parent = parent_path(std::wstring_view(dir));
        if (!parent || parent->size() >= dir.size()) return {.error = error};
        if (const DirectoryCreation made = create_directory_tree(std::wstring(*parent), security); made.error) return made;
        if (CreateDirectoryW(dir.c_str(), security)) return {.created = true};
        error = GetLastError();
    }
    if (is_directory(dir)) return {};
    return {.error = error};
}

}  // namespace

Result<EnsuredInstallDirectory> ensure_install_directory(const std::string& install_dir) {
    const std::wstring dir = to_wide(install_dir);
    if (is_directory(dir)) return EnsuredInstallDirectory{};  // the caller examines what was there

    const Result<UniqueSecurityDescriptor> descriptor = install_directory_descriptor();
    SECURITY_ATTRIBUTES protection{.nLength = sizeof(SECURITY_ATTRIBUTES),
                                   .lpSecurityDescriptor = descriptor ? descriptor->get() : nullptr,
                                   .bInheritHandle = FALSE};
    const DirectoryCreation made = create_directory_tree(dir, descriptor ? &protection : nullptr);
    if (made.error) return describe_io_failure(CREATE_INSTALL_DIR_VERB, install_dir, io_error_from_code(made.error));
    if (!made.created) return EnsuredInstallDirectory{};
    // Refusing to install would help nobody: the folder is made as before.
    if (!descriptor) return EnsuredInstallDirectory{InstallDirectoryOrigin::CreatedUnprotected, descriptor.error().message};
    // Said as it is: a FAT drive takes the list and keeps none of it.
    if (!drive_keeps_permissions(install_dir)) {
        return EnsuredInstallDirectory{InstallDirectoryOrigin::CreatedOnADriveWithoutPermissions, {}};
    }
    return EnsuredInstallDirectory{InstallDirectoryOrigin::CreatedProtected, {}};
}

}  // namespace koravale
