#pragma once
// The opt-in log of one run: each event is appended to the file the
// command line named, as one whole line. Copies of a RunLog share one open
// file, so the window and its worker log from their own threads; the file
// is opened at the first line and closed when the last copy goes.

#include <memory>
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

    // Stamps the event with the local time and appends it. The first line
    // opens the file, creating it and its missing folders. A log that
    // cannot be opened or written is skipped: it never changes a run.
    void write(std::string_view event) const;

    // Runs a step that may delete the log's file or folder with the file
    // closed, since an open file would keep both in place. Afterwards the
    // log goes on only where its file is still there: it is never created
    // again, and the lines of a deleted log are lost.
    template <typename Step>
    auto with_file_closed(Step&& step) const {
        const Reopening reopening(*this);
        return step();
    }

private:
    class File;
    struct Reopening {
        explicit Reopening(const RunLog& log);
        ~Reopening();
        Reopening(const Reopening&) = delete;
        Reopening& operator=(const Reopening&) = delete;
        File* file;
    };

    std::shared_ptr<File> file_;
};

}  // namespace koravale
