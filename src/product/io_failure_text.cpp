#include "product/io_failure_text.h"

#include "common/text.h"

namespace koravale {
namespace {

std::string_view trim_trailing_white_space(std::string_view text) {
    const std::string_view trimmed = trim_white_space(text);
    if (trimmed.empty()) return {};
    return text.substr(0, static_cast<std::size_t>(trimmed.data() + trimmed.size() - text.data()));
}

std::string with_code(std::string_view message, std::uint32_t code) {
    return std::string(message) + " (os error " + std::to_string(code) + ")";
}

}  // namespace

bool IoError::is_permission_failure() const {
    if (os_code) return *os_code == OS_ERROR_ACCESS_DENIED || *os_code == OS_ERROR_WSAEACCES;
    return permission_denied;
}

IoError os_io_error(std::uint32_t code, std::string_view system_message) {
    return {.os_code = code, .text = with_code(trim_trailing_white_space(system_message), code)};
}

IoError os_io_error_without_message(std::uint32_t code, std::uint32_t lookup_error) {
    const std::string message = "OS Error " + std::to_string(code) + " (FormatMessageW() returned error " +
                                std::to_string(lookup_error) + ")";
    return {.os_code = code, .text = with_code(message, code)};
}

SetupError describe_io_failure(std::string_view verb, std::string_view path, const IoError& error) {
    if (!error.is_permission_failure()) return describe_failure(verb, path, error.text);
    std::string message;
    message.append("没有权限").append(verb).append(" ").append(path);
    message.append("（例如 Program Files 需要管理员权限）。\n"
                   "请选择其他目录（如 D:\\KoraVale 或用户目录），或右键以管理员身份运行安装程序。");
    return SetupError{std::move(message)};
}

SetupError describe_failure(std::string_view verb, std::string_view subject, std::string_view reason) {
    std::string message;
    message.append(verb).append(" ").append(subject).append(" 失败：").append(reason);
    return SetupError{std::move(message)};
}

}  // namespace koravale
