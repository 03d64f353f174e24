#pragma once
// The two program files of an installation: written under staging names,
// moved over the final names with retries, and cleaned out of a former
// install location.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/result.h"
#include "product/identity/product_constants.h"

namespace koravale {

// What a former install location is cleaned of, in this order.
inline constexpr std::array<std::string_view, 4> PROGRAM_FILE_NAMES{
    APP_EXE_NAME, APP_STAGING_NAME, UNINSTALLER_NAME, UNINSTALLER_STAGING_NAME};

inline constexpr int REPLACE_ATTEMPTS = 25;

// Refuses an install directory that is an existing file.
Status check_install_path_not_file(const std::string& install_dir);

// Writes the image to the program's staging name, flushed to the disk,
// into a new file: a leftover is deleted first, and one that cannot be is
// a failure. Returns the staging path.
Result<std::string> write_staged_program(const std::string& install_dir, std::span<const std::uint8_t> image);

// Moves the staged file over the final one, retrying while the final file
// is held; when it stays held, the staged file is deleted.
Status replace_file_with_retry(const std::string& staged_path, const std::string& final_path);

// Places a copy of the running setup program as the uninstaller, unless
// it is that uninstaller. Best effort: a failure is only described.
Status place_uninstaller_copy(const std::string& install_dir, const std::string& uninstaller_path);

// Deletes the program files from a former install location, except the
// running program, and the location itself when nothing else is left.
// Best effort: what could not be removed is only described.
SkippedFailures remove_old_program_files(const std::string& old_install_dir);

// Deletes what earlier self-removals left: uninstallers renamed to be
// deleted whose shell ended before it could. Best effort: what could not
// be removed is only described.
SkippedFailures remove_retired_uninstallers(const std::string& install_dir);

}  // namespace koravale
