#pragma once
// How the program opens files and folders: never keeping anyone else from
// reading, writing, renaming or deleting them meanwhile.

#include <windows.h>

namespace koravale {

inline constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace koravale
