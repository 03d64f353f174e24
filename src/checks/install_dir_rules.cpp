#include "checks/install_dir_rules.h"

#include "common/text.h"
#include "texts/directory_texts.h"

namespace koravale {
namespace {

bool is_ascii_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_continuation_byte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool starts_with_drive(std::string_view path) {
    return path.size() >= 2 && is_ascii_letter(path[0]) && path[1] == ':';
}

std::string_view strip_quotes(std::string_view text) {
    while (!text.empty() && text.front() == '"') text.remove_prefix(1);
    while (!text.empty() && text.back() == '"') text.remove_suffix(1);
    return text;
}

// Runs of backslashes become one, except that a path may begin with two.
std::string collapse_backslashes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t char_index = 0;
    bool previous_was_backslash = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (is_continuation_byte(c)) {
            out += c;
            continue;
        }
        const bool is_backslash = c == '\\';
        if (!(is_backslash && previous_was_backslash && char_index != 1)) out += c;
        previous_was_backslash = is_backslash;
        ++char_index;
    }
    return out;
}

// Any white space counts, not only U+0020: a name ending in U+3000 before a
// dropped trailing backslash would lose it on the next normalisation.
bool ends_with_white_space(std::string_view segment) {
    return trim_trailing_white_space(segment).size() != segment.size();
}

std::optional<std::string_view> segment_fault(std::string_view segment) {
    if (segment == "." || segment == "..") return DIR_DOT_SEGMENT_TEXT;
    if (ends_with_white_space(segment) || segment.back() == '.') return DIR_NAME_END_TEXT;
    for (char c : segment) {
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\"*:<>?|").find(c) != std::string_view::npos)
            return DIR_FORBIDDEN_CHARACTER_TEXT;
    }
    return std::nullopt;
}

bool starts_with_ignoring_ascii_case(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && ascii_iequals(text.substr(0, prefix.size()), prefix);
}

bool is_inside_data_dir(const std::string& dir, std::string_view data_dir) {
    const std::string data = normalize_install_dir(data_dir);
    if (dir.empty() || data.empty()) return false;
    if (ascii_iequals(dir, data)) return true;
    const std::string prefix = data.back() == '\\' ? data : data + '\\';
    return dir.size() > prefix.size() && starts_with_ignoring_ascii_case(dir, prefix);
}

}  // namespace

std::string normalize_install_dir(std::string_view text) {
    const std::string_view trimmed = trim_white_space(strip_quotes(trim_white_space(text)));
    if (trimmed.empty()) return {};
    std::string path(trimmed);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    path = collapse_backslashes(path);
    if (starts_with_drive(path) && path[0] >= 'a') path[0] = static_cast<char>(path[0] - 'a' + 'A');
    if (path.size() == 2 && starts_with_drive(path)) path += '\\';
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

Result<std::string> validate_install_dir(std::string_view candidate, std::string_view data_dir) {
    std::string dir = normalize_install_dir(candidate);
    if (dir.empty()) return SetupError{std::string(DIR_EMPTY_TEXT)};
    if (dir.size() < 3 || !starts_with_drive(dir) || dir[2] != '\\')
        return SetupError{std::string(DIR_NOT_ABSOLUTE_TEXT)};
    if (dir.size() == 3) return SetupError{drive_root_refusal_text(dir)};
    if (dir.size() > MAX_INSTALL_DIR_BYTES) return SetupError{std::string(DIR_TOO_LONG_TEXT)};

    std::string_view rest = std::string_view(dir).substr(3);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\\');
        const std::string_view segment = rest.substr(0, end);
        if (!segment.empty()) {
            if (const auto fault = segment_fault(segment)) return SetupError{std::string(*fault)};
        }
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }

    if (is_inside_data_dir(dir, data_dir))
        return SetupError{std::string(DIR_IN_DATA_FOLDER_TEXT)};
    return dir;
}

std::optional<std::string> drive_root_of(std::string_view path) {
    const std::string dir = normalize_install_dir(path);
    if (dir.size() > 2 && starts_with_drive(dir) && dir[2] == '\\') return dir.substr(0, 3);
    return std::nullopt;
}

bool same_directory(std::string_view a, std::string_view b) {
    const std::string first = normalize_install_dir(a);
    return !first.empty() && ascii_iequals(first, normalize_install_dir(b));
}

}  // namespace koravale
