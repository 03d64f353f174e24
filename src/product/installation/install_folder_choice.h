#pragma once
// Turning what the directory box holds into the folder picker's start, and
// the folder the user picked into an install directory.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace koravale {

using IsDirectoryQuery = std::function<bool(const std::string& path)>;

// The path itself when it is an existing directory, else the nearest
// ancestor that is; none when no ancestor is (a drive root has no parent).
std::optional<std::string> nearest_existing_folder(std::string_view path, const IsDirectoryQuery& is_directory);

// A drive root gets "KoraVale" appended directly, a folder already named
// KoraVale (any ASCII case) stays, any other folder gets "\KoraVale".
std::string append_product_folder(std::string_view folder);

}  // namespace koravale
