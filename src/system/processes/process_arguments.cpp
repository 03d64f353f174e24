#include "system/processes/process_arguments.h"

#include <windows.h>

#include "common/text.h"
#include "product/options/command_line.h"
#include "system/files/file_identity.h"
#include "system/platform/wide_string.h"

namespace koravale {

std::vector<std::u16string> process_arguments() {
    const wchar_t* line = GetCommandLineW();
    if (line != nullptr && *line != L'\0') return split_command_line(as_utf16(line));
    return {utf16_from_utf8(running_executable_path().value_or(""))};
}

}  // namespace koravale
