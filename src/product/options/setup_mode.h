#pragma once
// Which form the window takes, and which of the three runs the process makes.

#include <optional>
#include <string_view>

#include "product/options/setup_options.h"

namespace koravale {

enum class SetupMode { FreshInstall, Upgrade, Reinstall, Uninstall };

// Versions are only compared for equality: a newer registered version is
// offered as an upgrade too.
SetupMode decide_mode(const SetupOptions& options, std::optional<std::string_view> installed_version);

enum class RunKind { SilentInstall, SilentUninstall, PassiveInstall, PassiveUninstall, Window };

// Silent wins over passive: a caller that asks for both wants no window.
RunKind decide_run(const SetupOptions& options);

}  // namespace koravale
