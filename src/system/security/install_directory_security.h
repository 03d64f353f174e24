#pragma once
// Who may change what is installed: the access list a new install
// directory is created with, and whether an existing one lies in the
// user's profile, where the profile's own list keeps other users out.

#include <string>

#include "common/result.h"
#include "system/platform/unique_handle.h"

namespace koravale {

// The descriptor of install_directory_sddl for the user this process runs
// as. The error says why it could not be built, in the run log's words.
Result<UniqueSecurityDescriptor> install_directory_descriptor();

// Whether the directory lies below the user's profile folder, its parent
// and the profile as the file system resolves them: a link there counts
// where it is, not where it leads. A profile or parent that cannot be
// found counts as elsewhere.
bool is_in_user_profile(const std::string& dir);

// False when the drive of the path keeps no access lists at all (FAT,
// exFAT). A drive that cannot be asked counts as one that keeps them.
bool drive_keeps_permissions(const std::string& path);

}  // namespace koravale
