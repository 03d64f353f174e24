#pragma once
// The browse button: the shell's folder dialog, its pick turned into an
// install directory in the box.

#include <windows.h>

namespace koravale {

struct SetupWindowState;

// Every failure, cancelling included, leaves the box as it was.
void choose_install_folder(const SetupWindowState& state, HWND frame);

}  // namespace koravale
