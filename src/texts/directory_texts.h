#pragma once
// What the user reads about the install directory: why a typed path is
// refused, the drive's status line, and why an existing folder is refused.

#include <string>
#include <string_view>

namespace koravale {

inline constexpr std::string_view DIR_EMPTY_TEXT = "请选择或输入安装目录";
inline constexpr std::string_view DIR_NOT_ABSOLUTE_TEXT = "安装目录必须是本地磁盘的绝对路径（例如 D:\\KoraVale）";
inline constexpr std::string_view DIR_TOO_LONG_TEXT = "安装目录路径过长，请选择较短的路径";
inline constexpr std::string_view DIR_IN_DATA_FOLDER_TEXT =
    "不能安装到个人数据目录（%LOCALAPPDATA%\\KoraVale）内，请选择其他目录";
inline constexpr std::string_view DIR_DOT_SEGMENT_TEXT = "安装目录包含无效路径段（不允许 . 或 ..），请重新选择";
inline constexpr std::string_view DIR_NAME_END_TEXT = "安装目录中的文件夹名不能以空格或点结尾";
inline constexpr std::string_view DIR_FORBIDDEN_CHARACTER_TEXT = "安装目录包含不允许的特殊字符（* ? \" < > | :）";

// `drive_root` ends with its backslash: "D:\".
inline std::string drive_root_refusal_text(std::string_view drive_root) {
    return "不能直接安装到磁盘根目录，请指定子文件夹（例如 " + std::string(drive_root) + "KoraVale）";
}

inline std::string path_is_file_text(std::string_view path) {
    return "所选路径 " + std::string(path) + " 是已有文件，请换一个安装目录";
}

// The drive checks before an install; sizes come as the size text shows them.
inline std::string drive_missing_text(std::string_view root) {
    return "磁盘 " + std::string(root) + " 不存在或未就绪，请重新选择安装目录";
}
inline std::string drive_full_text(std::string_view root, std::string_view free, std::string_view required) {
    return "磁盘 " + std::string(root) + " 剩余空间不足（当前可用 " + std::string(free) + "，至少需要 " +
           std::string(required) + "），请更换其他磁盘";
}

// The status line under the directory box.
inline constexpr std::string_view STATUS_NO_DRIVE_TEXT = "请输入有效的本地磁盘绝对路径（例如 D:\\KoraVale）";
inline std::string drive_free_status_text(std::string_view root, std::string_view free) {
    return "磁盘 " + std::string(root) + " 可用 " + std::string(free) + "（个人数据与缓存保留在用户目录）";
}
inline std::string drive_unavailable_status_text(std::string_view root) {
    return "磁盘 " + std::string(root) + " 不可用或未就绪，请重新选择安装目录";
}

// An existing folder outside the profile that another account could use
// to replace the program.
inline std::string foreign_install_directory_text(std::string_view install_dir) {
    return "安装目录 " + std::string(install_dir) + " 属于另一个账户，该账户可以替换其中的程序。请选择其他目录";
}
inline std::string foreign_install_entry_text(std::string_view install_dir) {
    return "安装目录 " + std::string(install_dir) + " 中有属于另一个账户的文件，该账户可以替换其中的程序。请选择其他目录";
}
inline std::string ownerless_install_directory_text(std::string_view install_dir) {
    return "安装目录 " + std::string(install_dir) +
           " 属于本机上不存在的账户（例如重装系统之前的账户），无法确认谁可以替换其中的程序。请选择其他目录";
}
inline std::string linked_install_directory_text(std::string_view install_dir) {
    return "安装目录 " + std::string(install_dir) + " 是指向其他位置的链接。请选择其他目录";
}
inline std::string unreadable_install_directory_text(std::string_view install_dir) {
    return "无法确认哪些账户可以修改安装目录 " + std::string(install_dir) + "，其中的程序可能被其他账户替换。请选择其他目录";
}
inline std::string writable_install_entry_text(std::string_view install_dir) {
    return "安装目录 " + std::string(install_dir) + " 中有其他账户可以修改的文件，该账户可以替换其中的程序。请选择其他目录";
}
// A folder others may write is closed only when it holds nothing but the
// program's own files: closing it would rewrite the permissions of the rest.
inline std::string occupied_open_install_directory_text(std::string_view install_dir) {
    return "安装目录 " + std::string(install_dir) + " 中已有其他文件，且其他账户可以修改该目录。请选择一个新的或空的目录";
}
inline std::string unclosable_install_directory_text(std::string_view install_dir) {
    return "无法阻止其他账户修改安装目录 " + std::string(install_dir) + "，其中的程序可能被替换。请选择其他目录";
}

}  // namespace koravale
