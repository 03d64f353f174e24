#pragma once
// The texts a failed file operation is shown with. The platform supplies
// the system's message for an error code; the wording around it is ours.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"

namespace koravale {

inline constexpr std::uint32_t OS_ERROR_ACCESS_DENIED = 5;
inline constexpr std::uint32_t OS_ERROR_WSAEACCES = 10013;

// A failed file operation: the platform's error code with its text, or a
// failure the program noticed itself (no code, its own description).
struct IoError {
    std::optional<std::uint32_t> os_code;
    std::string text;
    bool permission_denied = false;  // for failures without a code

    bool is_permission_failure() const;
};

// "{system message} (os error {code})", the message's trailing white space trimmed.
IoError os_io_error(std::uint32_t code, std::string_view system_message);
// The text when the system has no message for `code`.
IoError os_io_error_without_message(std::uint32_t code, std::uint32_t lookup_error);

// The permission hint for access-denied errors, else "{verb} {path} 失败：{error}".
SetupError describe_io_failure(std::string_view verb, std::string_view path, const IoError& error);

// "{verb} {subject} 失败：{reason}", whatever the reason. A skipped step is
// logged this way: its reader wants the system's own text, not a hint.
SetupError describe_failure(std::string_view verb, std::string_view subject, std::string_view reason);

// The verbs of the failure texts, each put before what it acts on.
inline constexpr std::string_view CREATE_INSTALL_DIR_VERB = "创建安装目录";
inline constexpr std::string_view WRITE_PROGRAM_FILE_VERB = "写入程序文件";
// Closing an existing install directory to other accounts.
inline constexpr std::string_view PROTECT_INSTALL_DIR_VERB = "保护安装目录";
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

}  // namespace koravale
