#pragma once
// What the window says in each of its forms, and what its directory box
// and uninstall location line start with.

#include <optional>
#include <string>
#include <string_view>

#include "product/setup_mode.h"

namespace koravale {

struct SetupWindowTexts {
    std::string title;
    std::string heading;
    std::string description;
    std::string main_action;

    bool operator==(const SetupWindowTexts&) const = default;
};

SetupWindowTexts setup_window_texts(SetupMode mode, const std::optional<std::string>& installed_version);

inline constexpr std::string_view LOCATION_CAPTION_TEXT = "安装位置：";
inline constexpr std::string_view BROWSE_TEXT = "浏览…";
inline constexpr std::string_view DESKTOP_SHORTCUT_TEXT = "创建桌面快捷方式";
inline constexpr std::string_view LAUNCH_AFTER_TEXT = "完成后立即启动 KoraVale";
inline constexpr std::string_view PURGE_DATA_TEXT = "同时清除个人数据（播放源、收藏、授权记录与日志）";
inline constexpr std::string_view PURGE_HINT_TEXT = "默认保留个人数据，方便以后重新安装时直接恢复播放列表与授权。";
inline constexpr std::string_view CANCEL_TEXT = "取消";
// The caption of the message box that tells why an operation stopped.
inline constexpr std::string_view FAILED_CAPTION_TEXT = "操作未完成";

// The first candidate whose canonical form is not empty: the --dir option,
// the registered location, the default; "C:\KoraVale" when there is none.
std::string initial_install_dir(const std::optional<std::string>& dir_option,
                                const std::optional<std::string>& registered_location,
                                const std::optional<std::string>& default_dir);

// The line of the uninstall form; the literal default when no layout is known.
std::string uninstall_location_text(const std::optional<std::string>& install_dir);

}  // namespace koravale
