#include "product/setup_window_texts.h"

#include "checks/install_dir_rules.h"
#include "product/product_constants.h"

namespace koravale {

SetupWindowTexts setup_window_texts(SetupMode mode, const std::optional<std::string>& installed_version) {
    const std::string version(PRODUCT_VERSION);
    switch (mode) {
        case SetupMode::Uninstall:
            return {"卸载 KoraVale", "卸载 KoraVale", "将移除 KoraVale 程序、开始菜单与桌面快捷方式。", "确认卸载"};
        case SetupMode::Reinstall:
            return {"重新安装 KoraVale " + version, "重新安装 KoraVale " + version,
                    "已安装相同版本，覆盖安装会完整保留您的播放源、收藏与授权。", "覆盖安装"};
        case SetupMode::Upgrade:
            return {"升级 KoraVale " + version,
                    "升级 KoraVale（" + installed_version.value_or(std::string()) + " → " + version + "）",
                    "检测到已安装版本，覆盖升级会完整保留您的播放源、收藏与授权。", "立即升级"};
        case SetupMode::FreshInstall:
            break;
    }
    return {"安装 KoraVale " + version, "KoraVale " + version,
            "纯原生 Windows 64 位 IPTV 播放器，免管理员权限、零运行库依赖。", "立即安装"};
}

std::string initial_install_dir(const std::optional<std::string>& dir_option,
                                const std::optional<std::string>& registered_location,
                                const std::optional<std::string>& default_dir) {
    for (const auto* candidate : {&dir_option, &registered_location, &default_dir}) {
        if (!*candidate) continue;
        std::string dir = normalize_install_dir(**candidate);
        if (!dir.empty()) return dir;
    }
    return normalize_install_dir(FALLBACK_INSTALL_DIR);
}

std::string uninstall_location_text(const std::optional<std::string>& install_dir) {
    return std::string(LOCATION_CAPTION_TEXT) + install_dir.value_or("%LOCALAPPDATA%\\Programs\\KoraVale");
}

}  // namespace koravale
