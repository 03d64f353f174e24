#include "product/options/setup_mode.h"

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

TEST(DecideRun, OnlySilentRunsGoWithoutTheWindowAndSilentWinsOverPassive) {
    struct Case {
        bool uninstall, silent, passive;
        RunKind expected;
    };
    for (const Case& c : {Case{false, false, false, RunKind::Window}, Case{true, false, false, RunKind::Window},
                          Case{false, true, false, RunKind::SilentInstall}, Case{true, true, false, RunKind::SilentUninstall},
                          Case{false, false, true, RunKind::PassiveInstall}, Case{true, false, true, RunKind::PassiveUninstall},
                          Case{false, true, true, RunKind::SilentInstall}, Case{true, true, true, RunKind::SilentUninstall}}) {
        SetupOptions options;
        options.uninstall = c.uninstall;
        options.silent = c.silent;
        options.passive = c.passive;
        EXPECT_EQ(decide_run(options), c.expected) << c.uninstall << c.silent << c.passive;
    }
}

}  // namespace
}  // namespace koravale
