#include "product/security/setup_lock_security.h"

namespace koravale {
namespace {

constexpr std::string_view LOCK_RIGHTS = "0x120001";
constexpr std::string_view MEDIUM_LABEL = "S:(ML;;NW;;;ME)";

std::string entry(std::string_view trustee) {
    return std::string("(A;;").append(LOCK_RIGHTS).append(";;;").append(trustee).append(")");
}

}  // namespace

std::string setup_lock_sddl_without_label(std::string_view user_sid) {
    return std::string("O:").append(user_sid).append("D:P") + entry(user_sid) + entry("SY") + entry("BA");
}

std::string setup_lock_sddl(std::string_view user_sid) {
    return setup_lock_sddl_without_label(user_sid).append(MEDIUM_LABEL);
}

}  // namespace koravale
