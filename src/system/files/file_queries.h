#pragma once
// What the file system can tell us about a path or a drive, with every
// failure counted as "absent" or "unknown".

#include <cstdint>
#include <optional>
#include <string>

#include "checks/disk_readiness.h"

namespace koravale {

// True when the file system reports metadata for the path (file or
// directory). A drive letter with no volume, or a drive without media, is absent.
bool path_exists(const std::string& path);

// True when the path, links followed, is a directory.
bool is_existing_directory(const std::string& path);

// Bytes available to the calling user (quotas honoured) on the drive root.
std::optional<std::uint64_t> query_free_space(const std::string& drive_root);

// The two queries above, for the disk checks and the status line.
DiskQueries platform_disk_queries();

}  // namespace koravale
