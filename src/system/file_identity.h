#pragma once
// What kind of entry a path names, and the one name the file system knows
// it by. Every failure counts as a negative answer.

#include <optional>
#include <string>

namespace koravale {

// An existing entry that is neither a directory nor a symbolic link (a
// reparse point whose tag is a name surrogate).
bool is_existing_file(const std::string& path);

// The final path the file system reports for an existing file or
// directory, links resolved (\\?\C:\... with the on-disk case).
std::optional<std::string> canonical_path(const std::string& path);

// Whether the path names the very file this process runs from.
bool is_running_executable(const std::string& path);

}  // namespace koravale
