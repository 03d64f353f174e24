#pragma once
// The player's shortcuts in the Start menu and on the desktop.

#include <string>

#include "common/result.h"
#include "product/installation/install_layout.h"

namespace koravale {

// Writes one shell link to `target` (icon 0 of the target, our
// description, no arguments), replacing a file of that name. Needs a
// single-threaded COM apartment on the calling thread.
Status create_shortcut(const std::string& shortcut_path, const std::string& target_path,
                       const std::string& working_dir);

// The Start-menu shortcut always; the desktop one when wanted, or when a
// desktop shortcut of a former location would otherwise point at nothing.
// Shortcuts never stop an install: a shortcut not saved is only described.
SkippedFailures create_install_shortcuts(const InstallLayout& layout, bool desktop_wanted, bool location_changed);

// Deletes the two shortcut files, never their folders; a missing one is no
// failure, any other is only described.
SkippedFailures remove_shortcuts(const InstallLayout& layout);

}  // namespace koravale
