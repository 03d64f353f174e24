#pragma once
// A failed Win32 or COM call as the program shows it: the system's own
// message for the code, with the code.

#include <windows.h>

#include <string>

#include "product/installation/io_failure_text.h"

namespace koravale {

// Ok, or the Win32 error code of the call that failed.
struct [[nodiscard]] OsStatus {
    DWORD code = ERROR_SUCCESS;

    bool ok() const { return code == ERROR_SUCCESS; }
    explicit operator bool() const { return ok(); }
};

// The system's message for a code: its message table, no inserts. Empty,
// with `lookup_error` saying why, when the system has none.
struct SystemMessage {
    std::string text;
    DWORD lookup_error = ERROR_SUCCESS;
};
SystemMessage system_message(DWORD code);

// A failed file call: "{system message} (os error {code})".
IoError io_error_from_code(DWORD code);
IoError last_io_error();

// Failed registry and COM calls: the system's message, then the result
// code: "Access is denied. (0x80070005)".
std::string result_code_text(HRESULT code);
// A registry status, shown as its result code.
std::string registry_error_text(LONG status);
// Like result_code_text, but the description the failed COM call left for
// this thread, if any, takes the place of the system's message.
std::string com_failure_text(HRESULT code);

}  // namespace koravale
