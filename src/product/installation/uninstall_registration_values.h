#pragma once
// What the uninstall registration holds: the values written at the end of
// an install, and how a registered text is read back.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "product/installation/install_layout.h"

namespace koravale {

struct CalendarDate {
    int year;
    int month;
    int day;
};

// A REG_SZ value holds the text, a REG_DWORD value the number.
struct RegistrationValue {
    std::string_view name;
    std::variant<std::string, std::uint32_t> data;

    bool operator==(const RegistrationValue&) const = default;
};

// Whole kilobytes of the image (a remainder counts as one) plus room for
// the player's own files; saturates instead of wrapping.
std::uint32_t estimated_size_kb(std::uint64_t image_bytes);

// "20261203": no separators.
std::string install_date_text(CalendarDate date);

// The thirteen values in the order they are written.
std::vector<RegistrationValue> uninstall_registration_values(const InstallLayout& layout, std::uint64_t image_bytes,
                                                             CalendarDate today);

// A registered text as the program uses it: the units up to the first NUL
// (all of them when there is none), unpaired surrogates replaced, white
// space trimmed; none when nothing is left.
std::optional<std::string> registration_text(std::u16string_view units);

}  // namespace koravale
