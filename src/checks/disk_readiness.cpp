#include "checks/disk_readiness.h"

#include <limits>

#include "checks/install_dir_rules.h"
#include "checks/size_text.h"
#include "texts/directory_texts.h"

namespace koravale {

std::uint64_t required_install_space(std::uint64_t expected_image_size) {
    constexpr std::uint64_t MAX = std::numeric_limits<std::uint64_t>::max();
    return expected_image_size > MAX - INSTALL_SPACE_MARGIN ? MAX : expected_image_size + INSTALL_SPACE_MARGIN;
}

Status check_install_disk(std::string_view canonical_install_dir, std::uint64_t expected_image_size,
                          const DiskQueries& queries) {
    const std::optional<std::string> root = drive_root_of(canonical_install_dir);
    if (!root) return Done{};
    if (!queries.path_exists(*root)) {
        return SetupError{drive_missing_text(*root)};
    }
    const std::uint64_t required = required_install_space(expected_image_size);
    const std::optional<std::uint64_t> free_bytes = queries.query_free_space(*root);
    if (free_bytes && *free_bytes < required) {
        return SetupError{drive_full_text(*root, format_size(*free_bytes), format_size(required))};
    }
    return Done{};
}

std::string describe_directory_status(std::string_view edit_text, const DiskQueries& queries) {
    const std::optional<std::string> root = drive_root_of(edit_text);
    if (!root) return std::string(STATUS_NO_DRIVE_TEXT);
    if (const std::optional<std::uint64_t> free_bytes = queries.query_free_space(*root)) {
        return drive_free_status_text(*root, format_size(*free_bytes));
    }
    return drive_unavailable_status_text(*root);
}

}  // namespace koravale
