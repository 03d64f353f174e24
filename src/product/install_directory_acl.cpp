#include "product/install_directory_acl.h"

namespace koravale {

std::string install_directory_sddl(std::string_view user_sid) {
    std::string sddl = "D:P(A;OICI;FA;;;";
    sddl.append(user_sid);
    sddl.append(")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
    return sddl;
}

}  // namespace koravale
