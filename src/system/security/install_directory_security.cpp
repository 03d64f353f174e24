#include "system/security/install_directory_security.h"

#include <windows.h>
#include <sddl.h>

#include <optional>

#include "common/windows_path.h"
#include "product/security/install_directory_acl.h"
#include "system/files/file_identity.h"
#include "system/platform/os_error.h"
#include "system/platform/wide_string.h"
#include "system/security/user_identity.h"
#include "system/shell/known_folders.h"

namespace koravale {

Result<UniqueSecurityDescriptor> install_directory_descriptor() {
    const Result<std::string> sid = current_user_sid_text();
    if (!sid) return sid.error();
    const std::wstring sddl = to_wide(install_directory_sddl(*sid));
    UniqueSecurityDescriptor descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, descriptor.put(), nullptr)) {
        return SetupError{"cannot build the access list: " + last_io_error().text};
    }
    return descriptor;
}

bool is_in_user_profile(const std::string& dir) {
    const std::optional<std::string> profile = known_folder_path(FOLDERID_Profile);
    if (!profile) return false;
    const std::optional<std::string> canonical_profile = canonical_path(*profile);
    // The folder itself may be a link: where it sits decides, not where it leads.
    const std::optional<std::string_view> parent = parent_path(dir);
    if (!parent) return false;
    const std::optional<std::string> canonical_parent = canonical_path(std::string(*parent));
    if (!canonical_profile || !canonical_parent) return false;
    return is_within_canonical_path(*canonical_parent, *canonical_profile);
}

bool drive_keeps_permissions(const std::string& path) {
    wchar_t volume[MAX_PATH + 1];
    DWORD flags = 0;
    if (!GetVolumePathNameW(to_wide(path).c_str(), volume, MAX_PATH + 1) ||
        !GetVolumeInformationW(volume, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) {
        return true;
    }
    return (flags & FILE_PERSISTENT_ACLS) != 0;
}

}  // namespace koravale
