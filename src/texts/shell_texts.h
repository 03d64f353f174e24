#pragma once
// What the Windows shell shows of the product.

#include <string_view>

namespace koravale {

// The shortcuts' description (their tooltip).
inline constexpr std::string_view SHORTCUT_DESCRIPTION = "KoraVale 播放器";

}  // namespace koravale
