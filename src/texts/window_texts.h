#pragma once
// What the window, its message boxes and its folder picker say.

#include <string>
#include <string_view>

namespace koravale {

// Title, heading, description and main button of each form of the window;
// `version` is the product's, `installed` the one found installed.
struct WindowFormTexts {
    std::string title;
    std::string heading;
    std::string description;
    std::string main_action;

    bool operator==(const WindowFormTexts&) const = default;
};

inline WindowFormTexts fresh_install_texts(std::string_view version) {
    const std::string v(version);
    return {"安装 KoraVale " + v, "KoraVale " + v, "纯原生 Windows 64 位 IPTV 播放器，免管理员权限、零运行库依赖。",
            "立即安装"};
}
inline WindowFormTexts upgrade_texts(std::string_view version, std::string_view installed) {
    const std::string v(version);
    return {"升级 KoraVale " + v, "升级 KoraVale（" + std::string(installed) + " → " + v + "）",
            "检测到已安装版本，覆盖升级会完整保留您的播放源、收藏与授权。", "立即升级"};
}
inline WindowFormTexts reinstall_texts(std::string_view version) {
    const std::string v(version);
    return {"重新安装 KoraVale " + v, "重新安装 KoraVale " + v,
            "已安装相同版本，覆盖安装会完整保留您的播放源、收藏与授权。", "覆盖安装"};
}
inline WindowFormTexts uninstall_texts() {
    return {"卸载 KoraVale", "卸载 KoraVale", "将移除 KoraVale 程序、开始菜单与桌面快捷方式。", "确认卸载"};
}

inline constexpr std::string_view LOCATION_CAPTION_TEXT = "安装位置：";
inline constexpr std::string_view BROWSE_TEXT = "浏览…";
inline constexpr std::string_view DESKTOP_SHORTCUT_TEXT = "创建桌面快捷方式";
inline constexpr std::string_view LAUNCH_AFTER_TEXT = "完成后立即启动 KoraVale";
inline constexpr std::string_view PURGE_DATA_TEXT = "同时清除个人数据（播放源、收藏、授权记录与日志）";
inline constexpr std::string_view PURGE_HINT_TEXT = "默认保留个人数据，方便以后重新安装时直接恢复播放列表与授权。";
inline constexpr std::string_view CANCEL_TEXT = "取消";

// Message boxes.
// The caption of the message box that tells why an operation stopped.
inline constexpr std::string_view FAILED_CAPTION_TEXT = "操作未完成";
inline constexpr std::string_view INVALID_DIR_CAPTION_TEXT = "安装目录无效";
inline constexpr std::string_view UNINSTALLED_CAPTION_TEXT = "卸载完成";
inline constexpr std::string_view UNINSTALLED_TEXT = "KoraVale 已从您的电脑卸载。";
// No step has run when the thread cannot even start: the user may simply try again.
inline constexpr std::string_view NO_WORKER_TEXT = "无法启动后台任务，请稍后重试";

// The folder picker.
inline constexpr std::wstring_view FOLDER_PICKER_TITLE_TEXT = L"选择 KoraVale 安装目录";
inline constexpr std::wstring_view FOLDER_PICKER_OK_TEXT = L"选择文件夹";

}  // namespace koravale
