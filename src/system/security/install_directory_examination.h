#pragma once
// An install directory that was there before the install: who owns it and
// what it holds, read without following a link, and closing it to other
// accounts when it is the user's to close.

#include <windows.h>

#include <string>

#include "common/result.h"

namespace koravale {

enum class DirectoryFinding {
    Missing,       // nothing there (any more)
    Unreadable,    // its owner or access list could not be read, or it could not be listed
    ForeignOwner,  // owned by an account other than the user or the system's own
    ReparsePoint,  // a link or junction: what it leads to may change at any time
    ForeignEntry,  // something directly inside belongs to another account, or hides its owner
    Open,          // trusted owners only, but another account may write in it
    Closed,        // only the user and the system's own accounts may change it
};

struct ExaminedDirectory {
    DirectoryFinding finding = DirectoryFinding::Missing;
    // For the run log: why it is unreadable, or which entry has which owner.
    std::string detail;
};

ExaminedDirectory examine_install_directory(const std::string& install_dir);

// Replaces the folder's access list by the protected one (built by
// install_directory_descriptor); on Windows its inheritable entries reach
// what the folder holds. The error is the user's message.
Status close_install_directory(const std::string& install_dir, PSECURITY_DESCRIPTOR protection);

}  // namespace koravale
