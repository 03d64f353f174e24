#include "product/options/install_account.h"

#include "common/text.h"

namespace koravale {

bool is_service_account(std::string_view user_sid) {
    const std::string sid = ascii_lower(user_sid);
    return sid == "s-1-5-18" || sid == "s-1-5-19" || sid == "s-1-5-20";
}

}  // namespace koravale
