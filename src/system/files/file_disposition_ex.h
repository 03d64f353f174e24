#pragma once
// mingw-w64 declares the extended delete disposition only for Windows 10
// RS1/RS5 targets, which our _WIN32_WINNT does not select. These are the
// platform's own values.

#include <windows.h>

namespace koravale {

inline constexpr auto FileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);

struct FILE_DISPOSITION_INFO_EX {
    DWORD Flags;
};

}  // namespace koravale

#ifndef FILE_DISPOSITION_FLAG_DELETE
#define FILE_DISPOSITION_FLAG_DELETE 0x00000001
#endif
#ifndef FILE_DISPOSITION_FLAG_POSIX_SEMANTICS
#define FILE_DISPOSITION_FLAG_POSIX_SEMANTICS 0x00000002
#endif
#ifndef FILE_DISPOSITION_FLAG_IGNORE_READONLY_ATTRIBUTE
#define FILE_DISPOSITION_FLAG_IGNORE_READONLY_ATTRIBUTE 0x00000010
#endif
