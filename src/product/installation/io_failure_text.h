#pragma once
// The texts a failed file operation is shown with. The platform supplies
// the system's message for an error code; the wording around it is ours.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"
#include "texts/failure_texts.h"

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

// The permission hint for access-denied errors, else failure_text(verb, path, error).
SetupError describe_io_failure(std::string_view verb, std::string_view path, const IoError& error);

// failure_text(verb, subject, reason), whatever the reason. A skipped step is
// logged this way: its reader wants the system's own text, not a hint.
SetupError describe_failure(std::string_view verb, std::string_view subject, std::string_view reason);

}  // namespace koravale
