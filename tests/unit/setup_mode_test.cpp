#include "app/setup_mode.h"

#include <gtest/gtest.h>

namespace koravale {
namespace {

SetupOptions uninstalling() {
    SetupOptions options;
    options.uninstall = true;
    return options;
}

TEST(DecideMode, ComparesTheRegisteredVersionForEqualityOnly) {
    EXPECT_EQ(decide_mode({}, std::nullopt), SetupMode::FreshInstall);
    EXPECT_EQ(decide_mode({}, "1.4.6"), SetupMode::Reinstall);
    EXPECT_EQ(decide_mode({}, "1.4.5"), SetupMode::Upgrade);
    EXPECT_EQ(decide_mode({}, "1.5.0"), SetupMode::Upgrade);  // newer is never "older than": still offered
    EXPECT_EQ(decide_mode({}, "1.4.6.0"), SetupMode::Upgrade);
    EXPECT_EQ(decide_mode({}, "1.4.6 "), SetupMode::Upgrade);  // the reader trims; equality is byte for byte
}

TEST(DecideMode, UninstallWinsWhateverIsRegistered) {
    EXPECT_EQ(decide_mode(uninstalling(), std::nullopt), SetupMode::Uninstall);
    EXPECT_EQ(decide_mode(uninstalling(), "1.4.6"), SetupMode::Uninstall);
}

TEST(DecideRun, OnlySilentRunsGoWithoutTheWindow) {
    SetupOptions options;
    EXPECT_EQ(decide_run(options), RunKind::Window);
    options.uninstall = true;
    EXPECT_EQ(decide_run(options), RunKind::Window);
    options.silent = true;
    EXPECT_EQ(decide_run(options), RunKind::SilentUninstall);
    options.uninstall = false;
    EXPECT_EQ(decide_run(options), RunKind::SilentInstall);
}

}  // namespace
}  // namespace koravale
