#pragma once
// An install directory that was there before the install: who owns it,
// who may write it and what it holds, read without following a link, and
// closing it to other accounts when it is the user's to close.

#include <windows.h>

#include <string>

#include "common/result.h"
#include "product/security/install_directory_verdict.h"

namespace koravale {

ExaminedDirectory examine_install_directory(const std::string& install_dir);

// Replaces the folder's access list by the protected one (built by
// install_directory_descriptor); on Windows its inheritable entries reach
// what the folder holds. The error says why not, in the run log's words:
// whether it took is for a second look to say.
Status close_install_directory(const std::string& install_dir, PSECURITY_DESCRIPTOR protection);

}  // namespace koravale
