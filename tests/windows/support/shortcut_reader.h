#pragma once
// A shell link read back through the shell's own link object.

#include <optional>
#include <string>

namespace koravale::testing_support {

struct ShortcutContents {
    std::wstring target;
    std::wstring working_dir;
    std::wstring icon;
    int icon_index = -1;
    std::wstring description;
    std::wstring arguments;
};

// None when the file is not a link the shell can load. Needs COM on the thread.
std::optional<ShortcutContents> read_shortcut(const std::string& path);

}  // namespace koravale::testing_support
