#include "product/installation/uninstall_registration_values.h"

#include <limits>

#include "common/text.h"
#include "product/identity/product_constants.h"

namespace koravale {

std::uint32_t estimated_size_kb(std::uint64_t image_bytes) {
    const std::uint64_t kilobytes = image_bytes / 1024 + (image_bytes % 1024 != 0 ? 1 : 0);
    const std::uint64_t total = kilobytes + ESTIMATED_SIZE_EXTRA_KB;
    constexpr std::uint64_t largest = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(total < largest ? total : largest);
}

std::string install_date_text(CalendarDate date) {
    std::string text;
    append_zero_padded(text, date.year, 4);
    append_zero_padded(text, date.month, 2);
    append_zero_padded(text, date.day, 2);
    return text;
}

std::vector<RegistrationValue> uninstall_registration_values(const InstallLayout& layout, std::uint64_t image_bytes,
                                                             CalendarDate today) {
    const std::string quoted_uninstaller = "\"" + layout.uninstaller + "\"";
    return {
        {"DisplayName", std::string(PRODUCT_NAME)},
        {"DisplayVersion", std::string(PRODUCT_VERSION)},
        {"Publisher", std::string(PRODUCT_NAME)},
        {"DisplayIcon", layout.app_exe + ",0"},
        {"InstallLocation", layout.install_dir},
        {"UninstallString", quoted_uninstaller + " --uninstall"},
        {"QuietUninstallString", quoted_uninstaller + " --uninstall --silent"},
        {"URLInfoAbout", std::string(PRODUCT_URL)},
        {"InstallDate", install_date_text(today)},
        {"BuildCode", std::string(BUILD_CODE)},
        {"EstimatedSize", estimated_size_kb(image_bytes)},
        {"NoModify", std::uint32_t{1}},
        {"NoRepair", std::uint32_t{1}},
    };
}

std::optional<std::string> registration_text(std::u16string_view units) {
    const std::size_t nul = units.find(u'\0');
    if (nul != std::u16string_view::npos) units = units.substr(0, nul);
    const std::string text = utf8_from_utf16_lossy(units);
    const std::string_view trimmed = trim_white_space(text);
    if (trimmed.empty()) return std::nullopt;
    return std::string(trimmed);
}

}  // namespace koravale
