#include "common/result_code_text.h"

#include "common/text.h"

namespace koravale {

std::uint32_t result_code_from_status(std::int32_t status) {
    if (status <= 0) return static_cast<std::uint32_t>(status);
    return 0x80070000u | (static_cast<std::uint32_t>(status) & 0xFFFFu);
}

std::string describe_result_code(std::string_view message, std::uint32_t code) {
    std::string hex = "0x";
    append_upper_hex(hex, code, 8);
    const std::string_view kept = trim_trailing_white_space(message);
    if (kept.empty()) return hex;
    return std::string(kept) + " (" + hex + ")";
}

}  // namespace koravale
