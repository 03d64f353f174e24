#include "product/installation/io_failure_text.h"

#include "common/text.h"
#include "texts/failure_texts.h"

namespace koravale {
namespace {

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
    return SetupError{permission_hint_text(verb, path)};
}

SetupError describe_failure(std::string_view verb, std::string_view subject, std::string_view reason) {
    return SetupError{failure_text(verb, subject, reason)};
}

}  // namespace koravale
