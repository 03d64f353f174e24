#pragma once
// How a failed registry or COM call is shown: the system's message for the
// result code, then the code as eight upper-case hexadecimal digits.

#include <cstdint>
#include <string>
#include <string_view>

namespace koravale {

// A system error code as a result code (0x8007xxxx); zero and codes that
// already are result codes stay as they are.
std::uint32_t result_code_from_status(std::int32_t status);

// "message (0x80070005)" with trailing white space of the message dropped;
// the code alone when there is no message.
std::string describe_result_code(std::string_view message, std::uint32_t code);

}  // namespace koravale
