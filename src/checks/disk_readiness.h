#pragma once
// Whether the drive of an install directory is there and has room, and the
// status line that tells the user about the drive while they type.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"

namespace koravale {

inline constexpr std::uint64_t INSTALL_SPACE_MARGIN = 12ull << 20;

// The two things the logic asks of the platform, both about a drive root.
struct DiskQueries {
    std::function<bool(const std::string& path)> path_exists;
    std::function<std::optional<std::uint64_t>(const std::string& drive_root)> query_free_space;
};

// The image plus a margin, saturating instead of wrapping.
std::uint64_t required_install_space(std::uint64_t expected_image_size);

// A missing drive or too little room is an error; a drive whose free space
// cannot be read passes, and a real shortage surfaces as a write failure.
Status check_install_disk(std::string_view canonical_install_dir, std::uint64_t expected_image_size,
                          const DiskQueries& queries);

// The line under the directory box: only the drive, never the directory rules.
std::string describe_directory_status(std::string_view edit_text, const DiskQueries& queries);

}  // namespace koravale
