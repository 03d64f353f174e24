#include "product/installation/installed_product.h"

#include "checks/install_dir_rules.h"

namespace koravale {

InstalledProduct make_installed_product(const std::optional<std::string>& install_location,
                                        const std::optional<std::string>& installed_version) {
    InstalledProduct product;
    if (install_location) {
        std::string canonical = normalize_install_dir(*install_location);
        if (!canonical.empty()) product.install_location = std::move(canonical);
    }
    if (installed_version && !installed_version->empty()) product.installed_version = installed_version;
    return product;
}

}  // namespace koravale
