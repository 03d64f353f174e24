#pragma once
// The stages of one run of a sequence, as the window's progress line and
// the run log see them. A stage ends when the next one begins, when the
// run fails in it, or when the run is over.

#include <string>
#include <string_view>

#include "common/result.h"
#include "sequences/progress_reporter.h"
#include "system/shell/run_log.h"

namespace koravale {

class SequenceStages {
public:
    SequenceStages(const ProgressReporter& progress, const RunLog& log) : progress_(progress), log_(log) {}

    // A stage with a progress text: shown in the window and logged.
    void begin(std::string_view progress_text);
    // A stage without one (the checks first, the uninstaller copy last): logged only.
    void begin_unshown(std::string_view name);

    void log_event(std::string_view event) const { log_.write(event); }
    // Failures the current stage swallowed.
    void log_skipped(const Status& status) const;
    void log_skipped(const SkippedFailures& failures) const;

    // The current stage ends the run with this error; returns it to be passed on.
    SetupError fail(const SetupError& error);
    // The current stage ends the run at the user's request, before any change.
    void cancel();
    void finish();

private:
    void end_current();

    const ProgressReporter& progress_;
    const RunLog& log_;
    std::string current_;
};

}  // namespace koravale
