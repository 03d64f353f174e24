#pragma once
// The user's shell folders and environment, as the platform reports them.

#include <windows.h>
#include <shlobj.h>

#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"

namespace koravale {

// The path exactly as the shell returns it; none on failure or on text
// that is not valid Unicode.
std::optional<std::string> known_folder_path(const KNOWNFOLDERID& folder);

// None when unset, empty or not valid Unicode.
std::optional<std::string> environment_variable(std::string_view name);

// The known folder, else the LOCALAPPDATA variable.
Result<std::string> local_app_data_dir();

}  // namespace koravale
