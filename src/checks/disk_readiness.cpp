#include "checks/disk_readiness.h"

#include <limits>

#include "checks/install_dir_rules.h"
#include "checks/size_text.h"

namespace koravale {

std::uint64_t required_install_space(std::uint64_t expected_image_size) {
    constexpr std::uint64_t MAX = std::numeric_limits<std::uint64_t>::max();
    return expected_image_size > MAX - INSTALL_SPACE_MARGIN ? MAX : expected_image_size + INSTALL_SPACE_MARGIN;
}

Status check_install_disk(std::string_view canonical_install_dir, std::uint64_t expected_image_size,
                          const DiskQueries& queries) {
    const std::optional<std::string> root = drive_root_of(canonical_install_dir);
    if (!root) return Done{};
    if (!queries.path_exists(*root)) {
        return SetupError{"磁盘 " + *root + " 不存在或未就绪，请重新选择安装目录"};
    }
    const std::uint64_t required = required_install_space(expected_image_size);
    const std::optional<std::uint64_t> free_bytes = queries.query_free_space(*root);
    if (free_bytes && *free_bytes < required) {
        return SetupError{"磁盘 " + *root + " 剩余空间不足（当前可用 " + format_size(*free_bytes) + "，至少需要 " +
                          format_size(required) + "），请更换其他磁盘"};
    }
    return Done{};
}

std::string describe_directory_status(std::string_view edit_text, const DiskQueries& queries) {
    const std::optional<std::string> root = drive_root_of(edit_text);
    if (!root) return "请输入有效的本地磁盘绝对路径（例如 D:\\KoraVale）";
    if (const std::optional<std::uint64_t> free_bytes = queries.query_free_space(*root)) {
        return "磁盘 " + *root + " 可用 " + format_size(*free_bytes) + "（个人数据与缓存保留在用户目录）";
    }
    return "磁盘 " + *root + " 不可用或未就绪，请重新选择安装目录";
}

}  // namespace koravale
