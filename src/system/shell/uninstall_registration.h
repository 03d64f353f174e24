#pragma once
// The product's entry in the user's list of installed programs.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"
#include "product/installation/install_layout.h"
#include "product/installation/installed_product.h"

namespace koravale {

// Creates the key and writes every value; a value that cannot be written
// is skipped and described. Fails only when the key cannot be created or opened.
Result<SkippedFailures> write_uninstall_registration(const InstallLayout& layout, std::uint64_t image_bytes);

// Never fails: a missing key or value, an unreadable or blank one are none.
std::optional<std::string> read_registration_value(std::string_view name);

InstalledProduct read_installed_product();

// The key with all its values; a missing key is no error.
Status delete_uninstall_registration();

}  // namespace koravale
