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
    const std::string_view trimmed = trim_white_space(message);
    if (trimmed.empty()) return hex;
    // Only the end is trimmed: the message is shown from its first character.
    const std::string_view kept = message.substr(0, static_cast<std::size_t>(trimmed.data() + trimmed.size() - message.data()));
    return std::string(kept) + " (" + hex + ")";
}

}  // namespace koravale
