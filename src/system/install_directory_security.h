#pragma once
// Who may change what is installed: the access list a new install
// directory is created with, and whether an existing one lies in the
// user's profile, where the profile's own list keeps other users out.

#include <string>

#include "common/result.h"
#include "system/unique_handle.h"

namespace koravale {

// The descriptor of install_directory_sddl for the user this process runs
// as. The error says why it could not be built, in the run log's words.
Result<UniqueSecurityDescriptor> install_directory_descriptor();

// Whether the directory is the user's profile folder or lies below it,
// both as the file system resolves them. A profile that cannot be found
// counts as elsewhere.
bool is_in_user_profile(const std::string& dir);

}  // namespace koravale
