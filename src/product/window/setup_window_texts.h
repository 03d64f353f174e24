#pragma once
// What the window says in each of its forms, and what its directory box
// and uninstall location line start with.

#include <optional>
#include <string>
#include <string_view>

#include "product/options/setup_mode.h"
#include "texts/window_texts.h"

namespace koravale {

using SetupWindowTexts = WindowFormTexts;

SetupWindowTexts setup_window_texts(SetupMode mode, const std::optional<std::string>& installed_version);

// The first candidate whose canonical form is not empty: the --dir option,
// the registered location, the default; "C:\KoraVale" when there is none.
std::string initial_install_dir(const std::optional<std::string>& dir_option,
                                const std::optional<std::string>& registered_location,
                                const std::optional<std::string>& default_dir);

// The line of the uninstall form; the literal default when no layout is known.
std::string uninstall_location_text(const std::optional<std::string>& install_dir);

}  // namespace koravale
