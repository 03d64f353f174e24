#include "product/window/setup_window_layout.h"

#include <gtest/gtest.h>

namespace koravale {
namespace {

TEST(ScalePx, RoundsHalfUpAndTreatsLowDpiAs96) {
    EXPECT_EQ(scale_px(480, 96), 480);
    EXPECT_EQ(scale_px(480, 0), 480);
    EXPECT_EQ(scale_px(480, 72), 480);
    EXPECT_EQ(scale_px(348, 120), 435);  // 435.0
    EXPECT_EQ(scale_px(274, 120), 343);  // 342.5 rounds up
    EXPECT_EQ(scale_px(274, 144), 411);
    EXPECT_EQ(scale_px(1, 97), 1);
    EXPECT_EQ(scale_px(-10, 144), -14);  // truncation toward zero, as the formula says
}

TEST(SetupWindowLayout, InstallFormAt96Dpi) {
    const SetupWindowLayout layout(96, SetupForm::Install);
    EXPECT_EQ(layout.client_width, 480);
    EXPECT_EQ(layout.client_height, 348);
    EXPECT_EQ(layout.product_icon, (ControlRect{24, 24, 48, 48}));
    EXPECT_EQ(layout.heading, (ControlRect{88, 24, 368, 28}));
    EXPECT_EQ(layout.description, (ControlRect{88, 54, 368, 38}));
    EXPECT_EQ(layout.location_caption, (ControlRect{28, 102, 424, 20}));
    EXPECT_EQ(layout.install_dir, (ControlRect{28, 126, 332, 26}));
    EXPECT_EQ(layout.browse, (ControlRect{368, 126, 84, 26}));
    EXPECT_EQ(layout.browse.x + layout.browse.width, 452);
    EXPECT_EQ(layout.disk_status, (ControlRect{28, 158, 424, 20}));
    EXPECT_EQ(layout.desktop_shortcut, (ControlRect{28, 190, 240, 24}));
    EXPECT_EQ(layout.launch_after, (ControlRect{28, 220, 240, 24}));
    EXPECT_EQ(layout.progress_text, (ControlRect{28, 266, 424, 22}));
    EXPECT_EQ(layout.cancel, (ControlRect{260, 300, 90, 32}));
    EXPECT_EQ(layout.main_action, (ControlRect{362, 300, 96, 32}));
    EXPECT_EQ(layout.heading_font_height, -20);
    EXPECT_EQ(layout.body_font_height, -13);
    EXPECT_EQ(layout.small_font_height, -12);
}

TEST(SetupWindowLayout, UninstallFormAt96Dpi) {
    const SetupWindowLayout layout(96, SetupForm::Uninstall);
    EXPECT_EQ(layout.client_width, 480);
    EXPECT_EQ(layout.client_height, 274);
    EXPECT_EQ(layout.uninstall_location, (ControlRect{28, 102, 424, 22}));
    EXPECT_EQ(layout.purge_data, (ControlRect{28, 132, 424, 24}));
    EXPECT_EQ(layout.purge_hint, (ControlRect{48, 160, 404, 24}));
    EXPECT_EQ(layout.progress_text, (ControlRect{28, 192, 424, 22}));
    EXPECT_EQ(layout.cancel, (ControlRect{260, 226, 90, 32}));
    EXPECT_EQ(layout.main_action, (ControlRect{362, 226, 96, 32}));
}

struct ScaledCase {
    int dpi;
    int width;
    int install_height;
    int uninstall_height;
    int heading_font;
    int body_font;
    int small_font;
};

class ScaledLayout : public ::testing::TestWithParam<ScaledCase> {};

TEST_P(ScaledLayout, ClientSizeFontsAndButtonRow) {
    const ScaledCase c = GetParam();
    const SetupWindowLayout install(c.dpi, SetupForm::Install);
    const SetupWindowLayout uninstall(c.dpi, SetupForm::Uninstall);
    EXPECT_EQ(install.client_width, c.width);
    EXPECT_EQ(uninstall.client_width, c.width);
    EXPECT_EQ(install.client_height, c.install_height);
    EXPECT_EQ(uninstall.client_height, c.uninstall_height);
    EXPECT_EQ(install.heading_font_height, c.heading_font);
    EXPECT_EQ(install.body_font_height, c.body_font);
    EXPECT_EQ(install.small_font_height, c.small_font);

    // Browse sits one gap right of the box and ends where the caption ends.
    EXPECT_EQ(install.browse.x, install.install_dir.x + install.install_dir.width + scale_px(8, c.dpi));
    EXPECT_EQ(install.browse.x + install.browse.width, c.width - scale_px(28, c.dpi));
    // The button row hangs from the bottom of each form.
    for (const SetupWindowLayout* layout : {&install, &uninstall}) {
        EXPECT_EQ(layout->main_action.y, layout->client_height - scale_px(48, c.dpi));
        EXPECT_EQ(layout->cancel.y, layout->main_action.y);
        EXPECT_EQ(layout->progress_text.y, layout->client_height - scale_px(82, c.dpi));
        EXPECT_LT(layout->cancel.x + layout->cancel.width, layout->main_action.x);
        EXPECT_LE(layout->main_action.x + layout->main_action.width, layout->client_width);
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, ScaledLayout,
                         ::testing::Values(ScaledCase{0, 480, 348, 274, -20, -13, -12},
                                           ScaledCase{96, 480, 348, 274, -20, -13, -12},
                                           ScaledCase{120, 600, 435, 343, -25, -16, -15},
                                           ScaledCase{144, 720, 522, 411, -30, -20, -18}));

TEST(SetupWindowLayout, At144DpiEveryRectangleIsScaled) {
    const SetupWindowLayout layout(144, SetupForm::Install);
    EXPECT_EQ(layout.install_dir, (ControlRect{42, 189, 498, 39}));
    EXPECT_EQ(layout.browse, (ControlRect{552, 189, 126, 39}));
    EXPECT_EQ(layout.cancel, (ControlRect{390, 450, 135, 48}));
    EXPECT_EQ(layout.main_action, (ControlRect{543, 450, 144, 48}));
}

}  // namespace
}  // namespace koravale
