#include "product/window/setup_window_texts.h"

#include "checks/install_dir_rules.h"
#include "product/identity/product_constants.h"

namespace koravale {

SetupWindowTexts setup_window_texts(SetupMode mode, const std::optional<std::string>& installed_version) {
    switch (mode) {
        case SetupMode::Uninstall:
            return uninstall_texts();
        case SetupMode::Reinstall:
            return reinstall_texts(PRODUCT_VERSION);
        case SetupMode::Upgrade:
            return upgrade_texts(PRODUCT_VERSION, installed_version.value_or(std::string()));
        case SetupMode::FreshInstall:
            break;
    }
    return fresh_install_texts(PRODUCT_VERSION);
}

std::string initial_install_dir(const std::optional<std::string>& dir_option,
                                const std::optional<std::string>& registered_location,
                                const std::optional<std::string>& default_dir) {
    for (const auto* candidate : {&dir_option, &registered_location, &default_dir}) {
        if (!*candidate) continue;
        std::string dir = normalize_install_dir(**candidate);
        if (!dir.empty()) return dir;
    }
    return normalize_install_dir(FALLBACK_INSTALL_DIR);
}

std::string uninstall_location_text(const std::optional<std::string>& install_dir) {
    return std::string(LOCATION_CAPTION_TEXT) + install_dir.value_or("%LOCALAPPDATA%\\Programs\\KoraVale");
}

}  // namespace koravale
