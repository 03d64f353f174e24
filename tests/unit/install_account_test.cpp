#include "product/options/install_account.h"

#include <gtest/gtest.h>

namespace koravale {
namespace {

// The three service accounts by their well-known SIDs; a user, an
// administrator, or a SID that only starts like one of them, installs.
TEST(IsServiceAccount, OnlyTheThreeWellKnownServiceAccounts) {
    for (const char* sid : {"S-1-5-18", "S-1-5-19", "S-1-5-20", "s-1-5-18"}) EXPECT_TRUE(is_service_account(sid)) << sid;
    for (const char* sid : {"S-1-5-21-0-0-0-1001", "S-1-5-32-544", "S-1-5-180", "S-1-5-18 ", ""}) {
        EXPECT_FALSE(is_service_account(sid)) << sid;
    }
}

}  // namespace
}  // namespace koravale
