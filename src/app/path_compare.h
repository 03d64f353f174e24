#pragma once

#include <string_view>

namespace koravale {

// Component by component and exactly (no case folding): doubled or
// trailing separators do not count, "\" and "/" are the same. Meant for
// paths the file system has already resolved.
bool same_canonical_path(std::string_view a, std::string_view b);

}  // namespace koravale
