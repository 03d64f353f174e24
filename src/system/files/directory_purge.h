#pragma once
// Removing a whole directory tree (the user's personal data) without ever
// following a link out of it.

#include <string>

#include "common/result.h"

namespace koravale {

inline constexpr int PURGE_BUSY_ATTEMPTS = 50;

// Deletes everything below `dir`, then `dir` itself. Each entry is opened
// relative to its parent and as the link itself when it is one, so a link
// to a folder elsewhere loses only the link. Stops at the first entry that
// cannot be deleted (after retries for busy files and not-yet-empty
// folders) and leaves the rest; success when the whole tree is gone, else
// the entry it stopped at and why.
Status purge_directory_tree(const std::string& dir);

}  // namespace koravale
