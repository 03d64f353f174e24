#include "product/options/setup_mode.h"

#include "product/identity/product_constants.h"

namespace koravale {

SetupMode decide_mode(const SetupOptions& options, std::optional<std::string_view> installed_version) {
    if (options.uninstall) return SetupMode::Uninstall;
    if (!installed_version) return SetupMode::FreshInstall;
    if (*installed_version == PRODUCT_VERSION) return SetupMode::Reinstall;
    return SetupMode::Upgrade;
}

RunKind decide_run(const SetupOptions& options) {
    if (options.silent) return options.uninstall ? RunKind::SilentUninstall : RunKind::SilentInstall;
    if (options.passive) return options.uninstall ? RunKind::PassiveUninstall : RunKind::PassiveInstall;
    return RunKind::Window;
}

}  // namespace koravale
