#include "system/files/parent_folders.h"

#include <windows.h>
#include <shlobj.h>

#include "common/windows_path.h"

namespace koravale {

void create_parent_folders(const std::wstring& file_path) {
    const std::optional<std::wstring_view> parent = parent_path(std::wstring_view(file_path));
    if (!parent) return;
    SHCreateDirectoryExW(nullptr, std::wstring(*parent).c_str(), nullptr);
}

}  // namespace koravale
