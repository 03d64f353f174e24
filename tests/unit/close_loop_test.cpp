#include "product/installation/close_loop.h"

#include <gtest/gtest.h>

#include <vector>

namespace koravale {
namespace {

// A player window that goes away after it has been asked to close a given
// number of times (never, for one that ignores the request).
struct FakePlayer {
    FakePlayer(bool present, int closes_needed) : present(present), closes_needed(closes_needed) {}

    bool present;
    int closes_needed;  // negative: never closes
    int finds = 0;
    int pauses = 0;
    std::vector<int> posted_on_pass;

    void run() {
        run_close_loop(
            [this] {
                ++finds;
                return present;
            },
            [this](bool) {
                posted_on_pass.push_back(finds - 1);
                if (--closes_needed == 0) present = false;
            },
            [this] { ++pauses; });
    }
};

TEST(CloseLoop, NothingRunningMeansNoPause) {
    FakePlayer player(false, 0);
    player.run();
    EXPECT_EQ(player.finds, 1);
    EXPECT_EQ(player.pauses, 0);
    EXPECT_TRUE(player.posted_on_pass.empty());
}

TEST(CloseLoop, APlayerThatClosesIsAskedOnceAndTheLoopEndsWhenItIsGone) {
    FakePlayer player(true, 1);
    player.run();
    EXPECT_EQ(player.posted_on_pass, std::vector<int>{0});
    EXPECT_EQ(player.finds, 2);
    EXPECT_EQ(player.pauses, 1);
}

TEST(CloseLoop, APlayerThatIgnoresIsAskedFourTimesOverThirtyPasses) {
    FakePlayer player(true, -1);
    player.run();
    EXPECT_EQ(player.posted_on_pass, (std::vector<int>{0, 8, 16, 24}));
    EXPECT_EQ(player.finds, 30);
    EXPECT_EQ(player.pauses, 30);
}

TEST(CloseLoop, ASlowPlayerIsAskedAgainOnTheNextRepostPass) {
    FakePlayer player(true, 2);
    player.run();
    EXPECT_EQ(player.posted_on_pass, (std::vector<int>{0, 8}));
    EXPECT_EQ(player.finds, 10);
}

}  // namespace
}  // namespace koravale
