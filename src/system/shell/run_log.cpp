#include "system/shell/run_log.h"

#include <windows.h>

#include "product/run_log/run_log_events.h"
#include "product/run_log/run_log_line.h"
#include "system/files/parent_folders.h"
#include "system/platform/file_sharing.h"
#include "system/platform/grown_buffer.h"
#include "system/platform/thread_lock.h"
#include "system/platform/unique_handle.h"
#include "system/platform/wide_string.h"

namespace koravale {
namespace {

std::optional<std::wstring> full_path(const std::wstring& path) {
    return text_from_growing_buffer(
        [&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(path.c_str(), size, buffer, nullptr); });
}

// Append access only: every write lands at the end as one piece, also
// when another setup process appends to the same file.
UniqueFileHandle open_for_append(const std::wstring& path, DWORD disposition, DWORD& error) {
    UniqueFileHandle file(
        CreateFileW(path.c_str(), FILE_APPEND_DATA, SHARE_ALL, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    error = file ? ERROR_SUCCESS : GetLastError();
    return file;
}

std::string stamped(std::string_view event) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return format_log_line({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds},
                           event);
}

// A write that took only part of its text.
struct TornWrite {
    std::size_t written;
    std::size_t size;
};

}  // namespace

// One open file for the whole process. The lock keeps the lines of two
// threads whole and in the order of their time stamps.
class RunLog::File {
public:
    explicit File(std::wstring path) : path_(std::move(path)) {}

    void append(std::string_view event) {
        const ThreadLock::Hold hold(lock_);
        if (!opened_) open_first_time();
        if (!file_) return;
        std::string text;
        if (torn_) {
            // The file ends inside a line: end it, and say so, before going on.
            text = "\r\n" + stamped(torn_line_event(torn_->written, torn_->size));
        }
        text += stamped(event);
        DWORD written = 0;
        WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        if (written == text.size()) {
            torn_.reset();
        } else if (written > 0) {
            torn_ = TornWrite{written, text.size()};
        }
        // Nothing written: the file still ends where it did.
    }

    // Returns whether there is a file to open again afterwards.
    bool close_for_step() {
        const ThreadLock::Hold hold(lock_);
        opened_ = true;  // a log not opened yet is never created after the step either
        const bool was_open = static_cast<bool>(file_);
        file_.reset();
        return was_open;
    }

    void reopen_after_step() {
        const ThreadLock::Hold hold(lock_);
        DWORD error = ERROR_SUCCESS;
        file_ = open_for_append(path_, OPEN_EXISTING, error);
    }

private:
    void open_first_time() {
        opened_ = true;
        DWORD error = ERROR_SUCCESS;
        file_ = open_for_append(path_, OPEN_ALWAYS, error);
        if (!file_ && error == ERROR_PATH_NOT_FOUND) {
            create_parent_folders(path_);
            file_ = open_for_append(path_, OPEN_ALWAYS, error);
        }
    }

    ThreadLock lock_;
    const std::wstring path_;
    UniqueFileHandle file_;
    bool opened_ = false;  // the first line has tried to open it
    std::optional<TornWrite> torn_;
};

RunLog::RunLog(const std::optional<std::string>& file) {
    if (!file) return;
    std::wstring path = to_wide(*file);
    if (std::optional<std::wstring> full = full_path(path)) path = std::move(*full);
    // Not make_shared: without type records its control block asks the
    // C++ library, which brings the library's exception handling along.
    file_ = std::shared_ptr<File>(new File(std::move(path)));
}

void RunLog::write(std::string_view event) const {
    if (file_) file_->append(event);
}

RunLog::Reopening::Reopening(const RunLog& log)
    : file(log.file_ && log.file_->close_for_step() ? log.file_.get() : nullptr) {}

RunLog::Reopening::~Reopening() {
    if (file) file->reopen_after_step();
}

}  // namespace koravale
