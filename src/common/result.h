#pragma once
// Failures as values: an operation returns what it made or the one
// user-facing message that says why it could not.

#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace koravale {

struct SetupError {
    std::string message;  // UTF-8, shown to the user as it stands

    bool operator==(const SetupError&) const = default;
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(SetupError error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    const SetupError& error() const { return std::get<1>(state_); }

    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

private:
    std::variant<T, SetupError> state_;
};

// An operation that makes nothing but can fail.
struct Done {
    bool operator==(const Done&) const = default;
};
using Status = Result<Done>;

// Failures that a best-effort step swallowed: it went on without them,
// and only the run log tells of them.
using SkippedFailures = std::vector<SetupError>;

inline void add_if_failed(SkippedFailures& skipped, const Status& status) {
    if (!status) skipped.push_back(status.error());
}

}  // namespace koravale
