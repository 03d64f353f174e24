#pragma once
// The DPI calls that early Windows 10 lacks (1507 has neither), looked up
// in user32 when called, so that the program still starts there.

#include <windows.h>

namespace koravale {

// Per-monitor DPI awareness, version 2; where the call is missing the
// process keeps what its manifest gave it, as when the call fails.
void set_per_monitor_dpi_awareness();

// The window's DPI, or 0 where the call is missing or fails (which the
// window's layout takes as 96 DPI).
unsigned window_dpi(HWND window);

}  // namespace koravale
