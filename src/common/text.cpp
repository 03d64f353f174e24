#include "common/text.h"

namespace koravale {
namespace {

constexpr char32_t REPLACEMENT_CHARACTER = 0xFFFD;

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one well-formed UTF-8 sequence at `pos`; returns its length, or 0
// when the bytes there are not a valid, shortest-form scalar value.
std::size_t decode_utf8(std::string_view text, std::size_t pos, char32_t& cp) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    std::size_t length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - pos < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

template <bool Strict>
std::optional<std::string> convert_utf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        char32_t cp = unit;
        if (is_high_surrogate(unit) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
            cp = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            ++i;
        } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
            if (Strict) return std::nullopt;
            cp = REPLACEMENT_CHARACTER;
        }
        append_utf8(out, cp);
    }
    return out;
}

}  // namespace

std::optional<std::string> utf8_from_utf16_strict(std::u16string_view text) {
    return convert_utf16<true>(text);
}

std::string utf8_from_utf16_lossy(std::u16string_view text) {
    return *convert_utf16<false>(text);
}

std::u16string utf16_from_utf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t cp = 0;
        std::size_t length = decode_utf8(text, pos, cp);
        if (length == 0) {
            cp = REPLACEMENT_CHARACTER;
            length = 1;
        }
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        pos += length;
    }
    return out;
}

std::string ascii_lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool ascii_iequals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ascii_lower(a) == ascii_lower(b);
}

std::optional<std::uint64_t> parse_decimal(std::string_view text, std::uint64_t max) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (max - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

void append_zero_padded(std::string& out, std::uint64_t value, int width) {
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int pad = width - count; pad > 0; --pad) out.push_back('0');
    while (count > 0) out.push_back(digits[--count]);
}

void append_upper_hex(std::string& out, std::uint64_t value, int width) {
    int count = 1;
    while (count < 16 && (value >> (4 * count)) != 0) ++count;
    if (width > count) count = width;
    for (int shift = 4 * (count - 1); shift >= 0; shift -= 4) {
        out.push_back("0123456789ABCDEF"[shift < 64 ? (value >> shift) & 0xF : 0]);
    }
}

bool is_white_space(char32_t cp) {
    return (cp >= 0x09 && cp <= 0x0D) || cp == 0x20 || cp == 0x85 || cp == 0xA0 || cp == 0x1680 ||
           (cp >= 0x2000 && cp <= 0x200A) || cp == 0x2028 || cp == 0x2029 || cp == 0x202F ||
           cp == 0x205F || cp == 0x3000;
}

std::string_view trim_trailing_white_space(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0) {
        // Step back to the lead byte of the last sequence (at most four bytes).
        std::size_t start = end - 1;
        while (start > 0 && end - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
        char32_t cp = 0;
        if (decode_utf8(text, start, cp) != end - start || !is_white_space(cp)) break;
        end = start;
    }
    return text.substr(0, end);
}

std::string_view trim_white_space(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        char32_t cp = 0;
        const std::size_t length = decode_utf8(text, begin, cp);
        if (length == 0 || !is_white_space(cp)) break;
        begin += length;
    }
    return trim_trailing_white_space(text.substr(begin));
}

}  // namespace koravale
