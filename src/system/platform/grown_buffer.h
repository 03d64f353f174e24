#pragma once
// The Win32 calls that fill a caller's buffer with text and, when it is
// too small, answer with the size they need.

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

namespace koravale {

// No path or variable is longer than this; a call that keeps asking for
// more is not trusted with a larger buffer.
inline constexpr std::size_t MAX_TEXT_UNITS = 32768;

// Calls `fill(buffer, size)` until the text fits. `fill` answers with the
// text's length, 0 on failure, or a length of at least `size` when the
// buffer was too small: the size it needs, or (GetModuleFileNameW) the
// buffer's own size with the text cut short. None on failure.
template <typename Fill>
std::optional<std::wstring> text_from_growing_buffer(Fill&& fill, std::size_t initial = MAX_PATH) {
    std::wstring text(initial, L'\0');
    for (;;) {
        const DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0) return std::nullopt;
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        if (text.size() > MAX_TEXT_UNITS) return std::nullopt;
        text.resize(std::max<std::size_t>(std::size_t{length} + 1, text.size() * 2));
    }
}

}  // namespace koravale
