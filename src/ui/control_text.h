#pragma once
// Texts in and out of controls, UTF-8 on our side.

#include <windows.h>

#include <string>
#include <string_view>

namespace koravale {

struct SetupWindowState;

// Empty for a missing control; unpaired surrogates become U+FFFD.
std::string read_edit_text(HWND control);

void set_control_text(HWND control, std::string_view text);

// The disk line under the directory box, for what the box holds now.
void refresh_disk_status(const SetupWindowState& state);

bool is_checked(HWND check_box);

}  // namespace koravale
