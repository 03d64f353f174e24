#pragma once
// One canonical form for every directory text, and the rules an install
// directory must meet before anything is installed into it. Pure text
// logic: nothing here looks at the disk.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"

namespace koravale {

inline constexpr std::size_t MAX_INSTALL_DIR_BYTES = 220;

// Never fails; the result may be empty.
std::string normalize_install_dir(std::string_view text);

// The canonical directory, or the message of the first rule it breaks. An
// empty data directory skips the data-directory rule.
Result<std::string> validate_install_dir(std::string_view candidate, std::string_view data_dir);

// "D:\" for any path on drive D, none for anything else.
std::optional<std::string> drive_root_of(std::string_view path);

// Equal canonical forms, ASCII letters in any case; false when the first is empty.
bool same_directory(std::string_view a, std::string_view b);

}  // namespace koravale
