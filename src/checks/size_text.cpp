#include "checks/size_text.h"

namespace koravale {
namespace {

using Wide = unsigned __int128;

// `whole` / 2^shift rounded to `decimals` places, ties to even, as a
// decimal integer scaled by 10^decimals. Exact: no floating-point product.
std::uint64_t scaled_quotient(Wide whole, int shift, int decimals) {
    for (int i = 0; i < decimals; ++i) whole *= 10;
    Wide quotient = whole >> shift;
    const Wide remainder = whole & ((Wide(1) << shift) - 1);
    const Wide half = Wide(1) << (shift - 1);
    if (remainder > half || (remainder == half && (quotient & 1))) ++quotient;
    return static_cast<std::uint64_t>(quotient);
}

std::string with_decimals(std::uint64_t scaled, int decimals) {
    std::string digits = std::to_string(scaled);
    if (decimals == 0) return digits;
    if (digits.size() <= static_cast<std::size_t>(decimals)) digits.insert(0, decimals + 1 - digits.size(), '0');
    digits.insert(digits.size() - decimals, 1, '.');
    return digits;
}

}  // namespace

std::string format_size(std::uint64_t bytes) {
    constexpr std::uint64_t KIB = 1ull << 10, MIB = 1ull << 20, GIB = 1ull << 30, TIB = 1ull << 40;
    // The figure is that of the nearest double, as the user's other tools print it.
    const Wide value = static_cast<Wide>(static_cast<double>(bytes));
    if (bytes >= TIB) return with_decimals(scaled_quotient(value, 40, 2), 2) + " TB";
    if (bytes >= GIB) return with_decimals(scaled_quotient(value, 30, 1), 1) + " GB";
    if (bytes >= MIB) return with_decimals(scaled_quotient(value, 20, 0), 0) + " MB";
    if (bytes < KIB) return "1 KB";
    return with_decimals(scaled_quotient(value, 10, 0), 0) + " KB";
}

}  // namespace koravale
