#pragma once
// The product this setup program serves. The build reads PRODUCT_VERSION and
// BUILD_CODE from this file for the version block and the manifest, so
// these values live here and nowhere else.

#include <cstdint>
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

// The system's list of installed programs, under HKEY_CURRENT_USER.
inline constexpr std::string_view UNINSTALL_KEY_PATH =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KoraVale";
inline constexpr std::string_view PRODUCT_URL = "https://koravale.example/";
// Room for the player's caches and settings beyond its program file.
inline constexpr std::uint32_t ESTIMATED_SIZE_EXTRA_KB = 2500;

// How often whatever this program waits for is looked at again: a running
// player's window, a file another process holds, the setup lock.
inline constexpr std::uint32_t POLL_INTERVAL_MS = 150;

// The player's main window: the contract by which a running copy is found and closed.
inline constexpr std::string_view APP_WINDOW_CLASS = "KoraValeMainWindow";
inline constexpr std::uint32_t WAIT_PID_TIMEOUT_MS = 8000;
inline constexpr int CLOSE_POLL_PASSES = 30;
inline constexpr int CLOSE_REPOST_EVERY = 8;

// One setup program at a time per user: the lock's name (the user's SID
// follows it) and how long a second run waits for it.
inline constexpr std::string_view SETUP_LOCK_NAME_PREFIX = "KoraVale.Setup.";
inline constexpr std::uint32_t SETUP_LOCK_WAIT_MS = 60000;

}  // namespace koravale
