#pragma once
// The window of an interactive run: built for the mode, run until it is
// closed, then torn down.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "product/options/setup_mode.h"
#include "product/options/setup_options.h"
#include "system/platform/unique_handle.h"
#include "system/shell/run_log.h"

namespace koravale {

// 0 once the window has closed, whatever the operation's outcome; 1 when
// the window could not be created. A passive run (options.passive) reports
// its outcome instead: 0 on success, 1 after a refusal or a failure.
std::uint32_t run_setup_window(SetupMode mode, const std::optional<std::string>& installed_version,
                               const SetupOptions& options, const RunLog& log);

UniqueFont make_ui_font(int points, bool bold, int dpi);

}  // namespace koravale
