#include "product/install_folder_choice.h"

#include "common/text.h"
#include "product/product_constants.h"

namespace koravale {
namespace {

bool is_drive_root(std::string_view path) { return path.size() == 3 && path.substr(1) == ":\\"; }

// Drops the last component; a root ("D:\", "\", "\\server\share") has no parent.
std::optional<std::string_view> parent_of(std::string_view path) {
    while (path.size() > 1 && path.back() == '\\' && !is_drive_root(path)) path.remove_suffix(1);
    const std::size_t last = path.rfind('\\');
    if (last == std::string_view::npos) {
        // "D:name" lives in the current folder of D:.
        if (path.size() > 2 && path[1] == ':') return path.substr(0, 2);
        return std::nullopt;
    }
    if (last + 1 == path.size()) return std::nullopt;  // "D:\" or "\"
    const bool unc = path.size() > 1 && path[0] == '\\' && path[1] == '\\';
    if (unc && (last == 1 || path.find('\\', 2) == last)) return std::nullopt;  // "\\server\share" is a root
    if (last == 0) return path.substr(0, 1);
    if (last == 2 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, last);
}

}  // namespace

std::optional<std::string> nearest_existing_folder(std::string_view path, const IsDirectoryQuery& is_directory) {
    std::optional<std::string_view> step = path;
    while (step && !step->empty()) {
        const std::string candidate(*step);
        if (is_directory(candidate)) return candidate;
        step = parent_of(*step);
    }
    return std::nullopt;
}

std::string append_product_folder(std::string_view folder) {
    if (folder.empty()) return {};
    if (is_drive_root(folder)) return std::string(folder) + std::string(PRODUCT_NAME);
    const std::size_t last = folder.rfind('\\');
    const std::string_view name = last == std::string_view::npos ? folder : folder.substr(last + 1);
    if (ascii_iequals(name, PRODUCT_NAME)) return std::string(folder);
    return std::string(folder) + "\\" + std::string(PRODUCT_NAME);
}

}  // namespace koravale
