#pragma once
// Making the install directory: every folder made on the way is protected
// from the moment it exists.

#include <string>

#include "common/result.h"

namespace koravale {

// How the install directory came to be there.
enum class InstallDirectoryOrigin {
    Existed,                            // there already: not changed here
    CreatedProtected,                   // made with the access list of install_directory_descriptor
    CreatedUnprotected,                 // made with the parent's entries: that list could not be built
    CreatedOnADriveWithoutPermissions,  // made, but the drive keeps no access lists
};

struct EnsuredInstallDirectory {
    InstallDirectoryOrigin origin = InstallDirectoryOrigin::Existed;
    std::string why_unprotected;  // for CreatedUnprotected, in the run log's words
};

// Creates the directory and its missing parents; an existing directory is
// fine. Every folder it creates gets the protected access list in the
// call that creates it.
Result<EnsuredInstallDirectory> ensure_install_directory(const std::string& install_dir);

}  // namespace koravale
