#include "product/window/setup_window_texts.h"

#include <gtest/gtest.h>

namespace koravale {
namespace {

TEST(SetupWindowTexts, EachFormHasItsTitleHeadingDescriptionAndButton) {
    EXPECT_EQ(setup_window_texts(SetupMode::FreshInstall, std::nullopt),
              (SetupWindowTexts{"安装 KoraVale 1.4.6", "KoraVale 1.4.6",
                                "纯原生 Windows 64 位 IPTV 播放器，免管理员权限、零运行库依赖。", "立即安装"}));
    EXPECT_EQ(setup_window_texts(SetupMode::Upgrade, "1.4.5"),
              (SetupWindowTexts{"升级 KoraVale 1.4.6", "升级 KoraVale（1.4.5 → 1.4.6）",
                                "检测到已安装版本，覆盖升级会完整保留您的播放源、收藏与授权。", "立即升级"}));
    EXPECT_EQ(setup_window_texts(SetupMode::Reinstall, "1.4.6"),
              (SetupWindowTexts{"重新安装 KoraVale 1.4.6", "重新安装 KoraVale 1.4.6",
                                "已安装相同版本，覆盖安装会完整保留您的播放源、收藏与授权。", "覆盖安装"}));
    // The uninstall form ignores the registered version, the same one included.
    EXPECT_EQ(setup_window_texts(SetupMode::Uninstall, "1.4.6"),
              (SetupWindowTexts{"卸载 KoraVale", "卸载 KoraVale", "将移除 KoraVale 程序、开始菜单与桌面快捷方式。",
                                "确认卸载"}));
}

TEST(SetupWindowTexts, UpgradeHeadingShowsTheRegisteredTextAsItStands) {
    EXPECT_EQ(setup_window_texts(SetupMode::Upgrade, "1.4.6.0").heading, "升级 KoraVale（1.4.6.0 → 1.4.6）");
}

TEST(InitialInstallDir, TakesTheFirstCandidateThatIsNotEmptyInCanonicalForm) {
    const std::optional<std::string> none;
    EXPECT_EQ(initial_install_dir("\"d:/Apps/KoraVale/\"", "E:\\Reg", "C:\\Default"), "D:\\Apps\\KoraVale");
    EXPECT_EQ(initial_install_dir("\"  \"", "e:\\Reg\\", "C:\\Default"), "E:\\Reg");
    EXPECT_EQ(initial_install_dir(none, none, "C:\\Users\\u\\AppData\\Local\\Programs\\KoraVale"),
              "C:\\Users\\u\\AppData\\Local\\Programs\\KoraVale");
    EXPECT_EQ(initial_install_dir(none, none, none), "C:\\KoraVale");
    // Not checked against the directory rules: the main button does that.
    EXPECT_EQ(initial_install_dir("D:\\", none, none), "D:\\");
}

TEST(UninstallLocationText, NamesTheLayoutOrTheLiteralDefault) {
    EXPECT_EQ(uninstall_location_text("D:\\Apps\\KoraVale"), "安装位置：D:\\Apps\\KoraVale");
    EXPECT_EQ(uninstall_location_text(std::nullopt), "安装位置：%LOCALAPPDATA%\\Programs\\KoraVale");
}

}  // namespace
}  // namespace koravale
