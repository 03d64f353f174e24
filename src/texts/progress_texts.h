#pragma once
// The stages as the window's progress line and the run log name them.

#include <string_view>

namespace koravale {

inline constexpr std::string_view INSTALL_CLOSING_TEXT = "正在检查并关闭运行中的 KoraVale…";
inline constexpr std::string_view EXTRACTING_TEXT = "正在解压并校验 KoraVale 程序完整性…";
inline constexpr std::string_view PLACING_TEXT = "正在安装程序文件…";
inline constexpr std::string_view REGISTERING_TEXT = "正在创建快捷方式与系统注册信息…";
inline constexpr std::string_view CLEANING_TEXT = "正在清理旧安装目录中的程序文件…";
inline constexpr std::string_view LAUNCHING_TEXT = "正在启动 KoraVale…";

inline constexpr std::string_view UNINSTALL_CLOSING_TEXT = "正在关闭运行中的 KoraVale…";
inline constexpr std::string_view REMOVING_TEXT = "正在移除程序文件与快捷方式…";
inline constexpr std::string_view UNREGISTERING_TEXT = "正在清理系统卸载记录…";
inline constexpr std::string_view PURGING_TEXT = "正在清除本地数据与缓存…";

inline constexpr std::string_view WAITING_FOR_OTHER_SETUP_TEXT = "正在等待另一个 KoraVale 安装程序结束…";
inline constexpr std::string_view OTHER_SETUP_RUNNING_TEXT =
    "另一个 KoraVale 安装或卸载程序正在运行，请等待其结束后重试";
// Never shown: the window closes instead.
inline constexpr std::string_view WAIT_CANCELLED_TEXT = "已取消";

}  // namespace koravale
