#pragma once
// The product this setup program serves. The build reads PRODUCT_VERSION and
// BUILD_CODE from this file for the version block and the manifest, so
// these values live here and nowhere else.

#include <string_view>

namespace koravale {

inline constexpr std::string_view PRODUCT_NAME = "KoraVale";
inline constexpr std::string_view PRODUCT_VERSION = "1.4.6";
inline constexpr std::string_view BUILD_CODE = "202612031556";
inline constexpr std::string_view APP_EXE_NAME = "KoraVale.exe";
inline constexpr std::string_view UNINSTALLER_NAME = "uninstall.exe";
inline constexpr std::string_view APP_STAGING_NAME = "KoraVale.exe.new";
inline constexpr std::string_view UNINSTALLER_STAGING_NAME = "uninstall.exe.new";
inline constexpr std::string_view SHORTCUT_NAME = "KoraVale.lnk";
inline constexpr std::string_view FALLBACK_INSTALL_DIR = "C:\\KoraVale";

// The folder under the local application-data folder that holds per-user programs.
inline constexpr std::string_view PROGRAMS_FOLDER_NAME = "Programs";

inline constexpr std::string_view LOCAL_APP_DATA_MISSING_MESSAGE =
    "无法获取用户本地应用目录（LOCALAPPDATA）";

}  // namespace koravale
