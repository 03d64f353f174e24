#include "common/windows_path.h"

#include "common/text.h"

namespace koravale {
namespace {

// Walks a path one component at a time; a leading separator counts as a
// component of its own, so a rooted path never equals a relative one.
class Components {
public:
    explicit Components(std::string_view path) : rest_(path), rooted_(!path.empty() && is_path_separator(path.front())) {}

    bool next(std::string_view& component) {
        if (rooted_) {
            rooted_ = false;
            skip_separators();
            component = "\\";
            return true;
        }
        skip_separators();
        if (rest_.empty()) return false;
        std::size_t end = 0;
        while (end < rest_.size() && !is_path_separator(rest_[end])) ++end;
        component = rest_.substr(0, end);
        rest_.remove_prefix(end);
        return true;
    }

private:
    void skip_separators() {
        while (!rest_.empty() && is_path_separator(rest_.front())) rest_.remove_prefix(1);
    }
    std::string_view rest_;
    bool rooted_;
};

}  // namespace

bool same_canonical_path(std::string_view a, std::string_view b) {
    Components left(a), right(b);
    for (;;) {
        std::string_view x, y;
        const bool has_left = left.next(x);
        const bool has_right = right.next(y);
        if (has_left != has_right) return false;
        if (!has_left) return true;
        if (x != y) return false;
    }
}

bool is_within_canonical_path(std::string_view path, std::string_view folder) {
    if (folder.empty()) return false;  // no folder holds anything
    Components inner(path), outer(folder);
    for (;;) {
        std::string_view x, y;
        if (!outer.next(y)) return true;
        if (!inner.next(x) || !ascii_iequals(x, y)) return false;
    }
}

}  // namespace koravale
