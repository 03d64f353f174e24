#include "system/process_arguments.h"

#include <windows.h>

#include "app/command_line.h"
#include "system/install_paths.h"
#include "system/wide_string.h"

namespace koravale {

std::vector<std::u16string> process_arguments() {
    const wchar_t* line = GetCommandLineW();
    if (line != nullptr && *line != L'\0') return split_command_line(as_utf16(line));
    std::vector<std::u16string> arguments;
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    arguments.emplace_back(as_utf16(path));
    return arguments;
}

}  // namespace koravale
