#pragma once
// Messages of failed registry and COM calls, as shown to the user.

#include <windows.h>

#include <string>

namespace koravale {

// The system's message for the code, then the code: "Access is denied. (0x80070005)".
std::string result_code_text(HRESULT code);

// A registry status, shown as its result code.
std::string registry_error_text(LONG status);

// Like result_code_text, but the description the failed COM call left for
// this thread, if any, takes the place of the system's message.
std::string com_failure_text(HRESULT code);

}  // namespace koravale
