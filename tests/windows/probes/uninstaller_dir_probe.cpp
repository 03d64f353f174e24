// Writes what running_uninstaller_dir() says for this very program (UTF-8,
// or "none") into the file named by its one argument. Tests copy it under
// other names.

#include <windows.h>

#include <string>

#include "system/platform/wide_string.h"
#include "system/shell/install_paths.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    const std::optional<std::string> dir = koravale::running_uninstaller_dir();
    const std::string text = dir ? *dir : "none";
    HANDLE file = CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 4;
}
