#include <gtest/gtest.h>

#include "product/install_directory_acl.h"

namespace koravale {
namespace {

// Exactly three entries, each full control inherited by files and folders,
// and a list that takes nothing from the parent: no Everyone, no Users, no
// Authenticated Users, however the parent was set up.
TEST(InstallDirectorySddl, GrantsTheUserSystemAndAdministratorsOnly) {
    EXPECT_EQ(install_directory_sddl("S-1-5-21-1004336348-1177238915-682003330-1001"),
              "D:P(A;OICI;FA;;;S-1-5-21-1004336348-1177238915-682003330-1001)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
}

}  // namespace
}  // namespace koravale
