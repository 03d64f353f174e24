#pragma once
// Text is UTF-8 inside the program; the platform speaks UTF-16. These are
// the only conversions between the two, plus the few text rules shared by
// every layer.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace koravale {

// Fails (none) on an unpaired surrogate.
std::optional<std::string> utf8_from_utf16_strict(std::u16string_view text);
// Unpaired surrogates become U+FFFD.
std::string utf8_from_utf16_lossy(std::u16string_view text);
// Malformed UTF-8 becomes U+FFFD, one per offending byte.
std::u16string utf16_from_utf8(std::string_view text);

// Only A-Z change; every other byte, including non-ASCII, stays.
std::string ascii_lower(std::string_view text);
bool ascii_iequals(std::string_view a, std::string_view b);

// An optional single "+", then one or more ASCII digits whose value is at
// most `max`; none for anything else.
std::optional<std::uint64_t> parse_decimal(std::string_view text, std::uint64_t max);

// Appends `value` in decimal with leading zeros up to `width` digits, as
// printf's "%0*u" writes it.
void append_zero_padded(std::string& out, std::uint64_t value, int width);
// Appends `width` upper-case hexadecimal digits of `value`, at least all it has.
void append_upper_hex(std::string& out, std::uint64_t value, int width);

// The Unicode White_Space property.
bool is_white_space(char32_t code_point);
// Strips white space at both ends; malformed bytes count as content.
std::string_view trim_white_space(std::string_view utf8);
// Only the end: a message is shown from its first character.
std::string_view trim_trailing_white_space(std::string_view utf8);

}  // namespace koravale
