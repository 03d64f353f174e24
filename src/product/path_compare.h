#pragma once

#include <string_view>

namespace koravale {

// Component by component and exactly (no case folding): doubled or
// trailing separators do not count, "\" and "/" are the same. Meant for
// paths the file system has already resolved.
bool same_canonical_path(std::string_view a, std::string_view b);

// Whether the path is the folder or lies below it, comparing whole
// components with ASCII letters in any case, as the file system does:
// C:\Users\Ann holds C:\users\ann\Apps but not C:\Users\Anna.
bool is_within_canonical_path(std::string_view path, std::string_view folder);

}  // namespace koravale
