#pragma once
// A failed Win32 file call as the program shows it.

#include <windows.h>

#include "product/io_failure_text.h"

namespace koravale {

// Ok, or the Win32 error code of the call that failed.
struct OsStatus {
    DWORD code = ERROR_SUCCESS;

    bool ok() const { return code == ERROR_SUCCESS; }
    explicit operator bool() const { return ok(); }
};

// The system's message for the code (its message table, no inserts).
IoError io_error_from_code(DWORD code);
IoError last_io_error();

}  // namespace koravale
