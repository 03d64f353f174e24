#include "product/installation/install_folder_choice.h"

#include "common/text.h"
#include "common/windows_path.h"
#include "product/identity/product_constants.h"

namespace koravale {
std::optional<std::string> nearest_existing_folder(std::string_view path, const IsDirectoryQuery& is_directory) {
    std::optional<std::string_view> step = path;
    while (step && !step->empty()) {
        const std::string candidate(*step);
        if (is_directory(candidate)) return candidate;
        step = parent_path(*step);
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
