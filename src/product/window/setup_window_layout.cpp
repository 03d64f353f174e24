#include "product/window/setup_window_layout.h"

namespace koravale {

int effective_dpi(int dpi) { return dpi < 97 ? 96 : dpi; }

int scale_px(int v, int dpi) { return (v * effective_dpi(dpi) + 48) / 96; }

int font_height(int points, int dpi) { return points * effective_dpi(dpi) / -72; }

SetupWindowLayout::SetupWindowLayout(int dpi, SetupForm form) {
    const auto s = [dpi](int v) { return scale_px(v, dpi); };
    const int w = s(480);
    const int h = form == SetupForm::Uninstall ? s(274) : s(348);
    client_width = w;
    client_height = h;

    product_icon = {s(24), s(24), s(48), s(48)};
    heading = {s(88), s(24), w - s(112), s(28)};
    description = {s(88), s(54), w - s(112), s(38)};

    const int edit_width = w - s(56) - s(84) - s(8);
    location_caption = {s(28), s(102), w - s(56), s(20)};
    install_dir = {s(28), s(126), edit_width, s(26)};
    browse = {s(28) + edit_width + s(8), s(126), s(84), s(26)};
    disk_status = {s(28), s(158), w - s(56), s(20)};
    desktop_shortcut = {s(28), s(190), s(240), s(24)};
    launch_after = {s(28), s(220), s(240), s(24)};

    uninstall_location = {s(28), s(102), w - s(56), s(22)};
    purge_data = {s(28), s(132), w - s(56), s(24)};
    purge_hint = {s(48), s(160), w - s(76), s(24)};

    progress_text = {s(28), h - s(82), w - s(56), s(22)};
    cancel = {w - s(220), h - s(48), s(90), s(32)};
    main_action = {w - s(118), h - s(48), s(96), s(32)};

    heading_font_height = font_height(15, dpi);
    body_font_height = font_height(10, dpi);
    small_font_height = font_height(9, dpi);
}

}  // namespace koravale
