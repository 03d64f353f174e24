#include "system/parent_folders.h"

#include <windows.h>
#include <shlobj.h>

namespace koravale {

void create_parent_folders(const std::wstring& file_path) {
    const std::size_t separator = file_path.find_last_of(L"\\/");
    if (separator == std::wstring::npos || separator == 0) return;
    SHCreateDirectoryExW(nullptr, file_path.substr(0, separator).c_str(), nullptr);
}

}  // namespace koravale
