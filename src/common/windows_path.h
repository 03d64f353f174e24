#pragma once
// Windows paths as text: separators, drive roots, parents and comparison.
// The one home of these rules, for narrow (UTF-8) and wide text alike.

#include <optional>
#include <string_view>

namespace koravale {

template <typename Char>
constexpr bool is_path_separator(Char c) {
    return c == Char('\\') || c == Char('/');
}

// "D:\" (or "D:/"): the one folder whose path must keep its separator,
// since "D:" alone means that drive's current folder.
template <typename Char>
constexpr bool is_drive_root(std::basic_string_view<Char> path) {
    return path.size() == 3 && path[1] == Char(':') && is_path_separator(path[2]);
}

// The folder that holds the path's last component: "D:\a\b\" -> "D:\a",
// "D:\a" -> "D:\", "\a" -> "\", "D:a" -> "D:", "\\server\share\a" ->
// "\\server\share". None for a root ("D:\", "\", "\\server\share") and for
// a bare name.
template <typename Char>
std::optional<std::basic_string_view<Char>> parent_path(std::basic_string_view<Char> path) {
    while (path.size() > 1 && is_path_separator(path.back()) && !is_drive_root(path)) path.remove_suffix(1);
    std::size_t last = path.size();
    while (last > 0 && !is_path_separator(path[last - 1])) --last;
    if (last == 0) {
        if (path.size() > 2 && path[1] == Char(':')) return path.substr(0, 2);  // "D:name"
        return std::nullopt;
    }
    if (last == path.size()) return std::nullopt;  // "D:\" or "\"
    --last;  // the separator before the last component
    const bool unc = path.size() > 1 && is_path_separator(path[0]) && is_path_separator(path[1]);
    if (unc) {
        std::size_t share = 2;
        while (share < path.size() && !is_path_separator(path[share])) ++share;
        if (last <= share) return std::nullopt;  // "\\server" or "\\server\share"
    }
    std::size_t end = last;
    while (end > 0 && is_path_separator(path[end - 1])) --end;  // "D:\a\\b"
    if (end == 0) return path.substr(0, 1);
    if (end == 2 && path[1] == Char(':')) return path.substr(0, 3);
    return path.substr(0, end);
}

inline std::optional<std::string_view> parent_path(std::string_view path) { return parent_path<char>(path); }
inline std::optional<std::wstring_view> parent_path(std::wstring_view path) { return parent_path<wchar_t>(path); }

// Component by component and exactly (no case folding): doubled or
// trailing separators do not count, "\" and "/" are the same. Meant for
// paths the file system has already resolved.
bool same_canonical_path(std::string_view a, std::string_view b);

// Whether the path is the folder or lies below it, comparing whole
// components with ASCII letters in any case, as the file system does:
// C:\Users\Ann holds C:\users\ann\Apps but not C:\Users\Anna.
bool is_within_canonical_path(std::string_view path, std::string_view folder);

}  // namespace koravale
