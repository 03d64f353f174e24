#pragma once
// The opt-in log of one run: each event is appended to the file the
// command line named, as one whole line. It is a plain value (the file's
// full path), so a worker thread gets its own copy and shares nothing.

#include <optional>
#include <string>
#include <string_view>

namespace koravale {

class RunLog {
public:
    RunLog() = default;  // writes nothing
    // A relative path is resolved against the current directory now, so a
    // later change of that directory does not move the log.
    explicit RunLog(const std::optional<std::string>& file);

    // Stamps the event with the local time and appends it. A log that
    // cannot be opened or written is skipped: it never changes a run.
    void write(std::string_view event) const;

private:
    std::optional<std::string> file_;
};

}  // namespace koravale
