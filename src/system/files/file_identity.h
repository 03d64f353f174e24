#pragma once
// What kind of entry a path names, and the one name the file system knows
// it by. Every failure counts as a negative answer.

#include <cstdint>
#include <optional>
#include <string>

namespace koravale {

// An existing entry that is neither a directory nor a symbolic link (a
// reparse point whose tag is a name surrogate).
bool is_existing_file(const std::string& path);

// The final path the file system reports for an existing file or
// directory, links resolved (\\?\C:\... with the on-disk case).
std::optional<std::string> canonical_path(const std::string& path);

// The running executable's full path; none when it cannot be had.
std::optional<std::string> running_executable_path();

// Whether the path names the very file this process runs from.
bool is_running_executable(const std::string& path);

// Which file a path names now, whatever names it had or will have: two
// paths name one file when both parts agree. A path names whatever is
// there, so only an identity taken while the file was known tells it again.
struct FileIdentity {
    std::uint32_t volume_serial = 0;
    std::uint64_t file_index = 0;

    bool operator==(const FileIdentity&) const = default;
};

// None when the path names nothing that can be opened.
std::optional<FileIdentity> file_identity(const std::string& path);

}  // namespace koravale
