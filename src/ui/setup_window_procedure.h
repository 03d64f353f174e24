#pragma once
// What the setup window does with each message: the buttons, the worker's
// progress and outcome, closing, and the colours of its labels.

#include <windows.h>

namespace koravale {

struct SetupWindowState;

LRESULT CALLBACK handle_setup_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The labels stay enabled: only what the user could act on is switched.
void set_controls_enabled(const SetupWindowState& state, bool enabled);

// A passive run: the operation starts at once with what the controls show,
// which are disabled from the start.
void begin_passive_run(SetupWindowState& state, HWND window);

}  // namespace koravale
