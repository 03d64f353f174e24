#pragma once
// Why a step failed or was skipped, as the message box and the run log
// say it. The system's own message for an error is put in by the caller.

#include <cstdint>
#include <string>
#include <string_view>

namespace koravale {

// "{verb} {subject} 失败：{reason}".
inline std::string failure_text(std::string_view verb, std::string_view subject, std::string_view reason) {
    return std::string(verb) + " " + std::string(subject) + " 失败：" + std::string(reason);
}

// An access-denied failure: where the user may install instead.
inline std::string permission_hint_text(std::string_view verb, std::string_view path) {
    return "没有权限" + std::string(verb) + " " + std::string(path) +
           "（例如 Program Files 需要管理员权限）。\n"
           "请选择其他目录（如 D:\\KoraVale 或用户目录），或右键以管理员身份运行安装程序。";
}

// The verbs of the failure texts, each put before what it acts on.
inline constexpr std::string_view CREATE_INSTALL_DIR_VERB = "创建安装目录";
inline constexpr std::string_view WRITE_PROGRAM_FILE_VERB = "写入程序文件";
inline constexpr std::string_view COPY_UNINSTALLER_VERB = "复制卸载程序";
inline constexpr std::string_view CREATE_SHORTCUT_VERB = "创建快捷方式";
inline constexpr std::string_view WRITE_REGISTRY_VALUE_VERB = "写入注册表值";
inline constexpr std::string_view DELETE_REGISTRY_KEY_VERB = "删除注册表项";
inline constexpr std::string_view DELETE_VERB = "删除";
inline constexpr std::string_view REMOVE_DIRECTORY_VERB = "删除目录";
inline constexpr std::string_view LIST_DIRECTORY_VERB = "列出目录";
inline constexpr std::string_view START_VERB = "启动";
inline constexpr std::string_view OPEN_PROCESS_VERB = "打开进程";
inline constexpr std::string_view RENAME_VERB = "重命名";
inline constexpr std::string_view OPEN_LOCK_VERB = "打开锁";
inline constexpr std::string_view WAIT_LOCK_VERB = "等待锁";

// The image inside the setup program.
inline constexpr std::string_view PAYLOAD_MISSING_MESSAGE = "安装包内部程序载荷缺失";
inline constexpr std::string_view UNPACK_FAILED_MESSAGE = "安装包解压失败，文件可能已损坏";
inline constexpr std::string_view INTEGRITY_FAILED_MESSAGE = "程序完整性校验（SHA-256）失败，已中止安装";
inline std::string image_size_mismatch_text(std::uint64_t expected, std::uint64_t actual) {
    return "程序大小校验失败（期望 " + std::to_string(expected) + "，实际 " + std::to_string(actual) + "）";
}

inline constexpr std::string_view LOCAL_APP_DATA_MISSING_MESSAGE = "无法获取用户本地应用目录（LOCALAPPDATA）";

inline constexpr std::string_view SERVICE_ACCOUNT_REFUSAL_TEXT =
    "KoraVale 为每个用户单独安装，不能在系统服务账户（SYSTEM、LocalService、NetworkService）下安装。"
    "请以将要使用播放器的用户身份运行安装程序";

// Program files.
// WriteFile succeeded but wrote nothing: there is no error code to show.
inline constexpr std::string_view NOTHING_WRITTEN_TEXT = "系统报告写入了 0 字节";
inline constexpr std::string_view NO_OWN_PATH_TEXT = "无法获取安装程序自身的路径，未放置卸载程序";
inline std::string program_file_held_text(std::string_view final_path) {
    return "无法写入 " + std::string(final_path) + "（请先手动退出正在运行的 KoraVale 后重试）";
}

// The registration and the shortcuts.
inline std::string registration_write_failed_message(std::string_view error_text) {
    return "写入系统应用列表注册表失败：" + std::string(error_text);
}
inline constexpr std::string_view SHORTCUT_OBJECT_FAILED_PREFIX = "创建快捷方式对象失败：";
inline constexpr std::string_view SHORTCUT_SAVE_FAILED_PREFIX = "保存快捷方式失败：";

// Deleting the personal data folder.
inline constexpr std::string_view LINK_NOT_ITSELF_TEXT = "这是一个链接，但无法单独打开链接本身，未跟随它删除";
inline constexpr std::string_view NOT_ITSELF_TEXT = "打开的不是该项本身，未删除";

// A running player and the process a run waits for.
inline constexpr std::string_view STILL_RUNNING_TEXT = "KoraVale 的窗口在多次请求关闭后仍未关闭";
inline std::string process_still_running_text(std::uint32_t pid, std::uint32_t seconds) {
    return "进程 " + std::to_string(pid) + " 在 " + std::to_string(seconds) + " 秒内没有结束，不再等待";
}

// The uninstaller's self-removal and the setup lock.
inline std::string unsafe_shell_path_text(std::string_view file, std::string_view install_dir) {
    return "路径中有命令行无法安全传递的字符，" + std::string(file) + " 与 " + std::string(install_dir) + " 留在原处";
}
inline constexpr std::string_view LOCK_FOREIGN_OWNER_TEXT = "它属于另一个账户";

}  // namespace koravale
