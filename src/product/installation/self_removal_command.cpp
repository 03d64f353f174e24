#include "product/installation/self_removal_command.h"

#include <array>

#include "common/text.h"
#include "product/identity/product_constants.h"
#include "product/installation/install_layout.h"

namespace koravale {
namespace {

constexpr std::size_t ARGUMENT_COUNT = 3;
constexpr std::string_view RETIRED_SUFFIX = ".removing";

// Every placeholder names one of the three arguments.
constexpr bool placeholders_fit(std::string_view text) {
    std::size_t next_argument = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "{}") {
            if (++next_argument > ARGUMENT_COUNT) return false;
        } else if (text[i] == '{') {
            if (i + 2 >= text.size() || text[i + 2] != '}' || text[i + 1] < '0' ||
                text[i + 1] >= static_cast<char>('0' + ARGUMENT_COUNT)) {
                return false;
            }
        }
    }
    return true;
}
static_assert(placeholders_fit(SELF_REMOVAL_TEMPLATE));

}  // namespace

std::string system_root_or_default(const std::optional<std::string>& environment_value) {
    return environment_value.value_or(std::string(DEFAULT_SYSTEM_ROOT));
}

std::string command_shell_path(std::string_view system_root) {
    return join_path(join_path(system_root, "System32"), "cmd.exe");
}

std::string self_removal_command_line(std::string_view command_shell, std::string_view uninstaller,
                                      std::string_view install_dir) {
    const std::array<std::string_view, ARGUMENT_COUNT> arguments{command_shell, uninstaller, install_dir};
    std::string line;
    std::size_t next_argument = 0;
    const std::string_view text = SELF_REMOVAL_TEMPLATE;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "{}") {
            line += arguments[next_argument++];
            ++i;
        } else if (text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}') {
            line += arguments[static_cast<std::size_t>(text[i + 1] - '0')];
            i += 2;
        } else {
            line += text[i];
        }
    }
    return line;
}

std::string retired_uninstaller_path(std::string_view uninstaller, std::uint32_t process_id, std::uint64_t ticks) {
    return std::string(uninstaller) + "." + std::to_string(process_id) + "-" + std::to_string(ticks) +
           std::string(RETIRED_SUFFIX);
}

bool is_retired_program_file_name(std::string_view name) {
    std::size_t prefix = 0;
    for (const std::string_view file : {UNINSTALLER_NAME, APP_EXE_NAME}) {
        if (name.size() > file.size() && name[file.size()] == '.' && ascii_iequals(name.substr(0, file.size()), file)) {
            prefix = file.size() + 1;
        }
    }
    if (prefix == 0 || name.size() < prefix + RETIRED_SUFFIX.size() ||
        !ascii_iequals(name.substr(name.size() - RETIRED_SUFFIX.size()), RETIRED_SUFFIX)) {
        return false;
    }
    const std::string_view stamp = name.substr(prefix, name.size() - prefix - RETIRED_SUFFIX.size());
    const std::size_t dash = stamp.find('-');
    if (dash == std::string_view::npos) return false;
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return digits(stamp.substr(0, dash)) && digits(stamp.substr(dash + 1));
}

bool safe_for_command_shell(std::string_view path) { return path.find('%') == std::string_view::npos; }

}  // namespace koravale
