#pragma once
// Byte counts as the short texts the user reads: "20 MB", "1.2 GB".

#include <cstdint>
#include <string>

namespace koravale {

// TB with two decimals, GB with one, MB and KB whole (never below 1 KB);
// halfway values go to the even digit.
std::string format_size(std::uint64_t bytes);

}  // namespace koravale
