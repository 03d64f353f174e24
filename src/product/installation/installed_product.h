#pragma once
// What the uninstall registration says about an existing installation.

#include <optional>
#include <string>

namespace koravale {

struct InstalledProduct {
    std::optional<std::string> install_location;  // canonical, never empty
    std::optional<std::string> installed_version;  // trimmed, never empty

    bool operator==(const InstalledProduct&) const = default;
};

// From the two registered texts as read; the location is put into
// canonical form and dropped when nothing of it remains.
InstalledProduct make_installed_product(const std::optional<std::string>& install_location,
                                        const std::optional<std::string>& installed_version);

}  // namespace koravale
