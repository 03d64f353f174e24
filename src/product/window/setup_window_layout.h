#pragma once
// The window's geometry in client pixels for one DPI: pure arithmetic, so
// every figure can be checked without a window.

namespace koravale {

enum class SetupForm { Install, Uninstall };

// 0 (a failed DPI query) and anything below 96 count as 96.
int effective_dpi(int dpi);

// v at 96 DPI scaled to `dpi`, rounded half up.
int scale_px(int v, int dpi);

// A character height for CreateFontW: negative, so it excludes the leading.
int font_height(int points, int dpi);

struct ControlRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const ControlRect&) const = default;
};

struct SetupWindowLayout {
    SetupWindowLayout(int dpi, SetupForm form);

    int client_width;
    int client_height;

    ControlRect product_icon;
    ControlRect heading;
    ControlRect description;
    // Install forms.
    ControlRect location_caption;
    ControlRect install_dir;
    ControlRect browse;
    ControlRect disk_status;
    ControlRect desktop_shortcut;
    ControlRect launch_after;
    // Uninstall form.
    ControlRect uninstall_location;
    ControlRect purge_data;
    ControlRect purge_hint;
    // Both.
    ControlRect progress_text;
    ControlRect cancel;
    ControlRect main_action;

    int heading_font_height;
    int body_font_height;
    int small_font_height;
};

}  // namespace koravale
