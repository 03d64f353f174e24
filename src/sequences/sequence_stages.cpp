#include "sequences/sequence_stages.h"

#include "product/run_log/run_log_events.h"

namespace koravale {

void SequenceStages::begin(std::string_view progress_text) {
    report(progress_, progress_text);
    begin_unshown(progress_text);
}

void SequenceStages::begin_unshown(std::string_view name) {
    end_current();
    current_ = name;
    log_.write(stage_started_event(current_));
}

void SequenceStages::log_skipped(const Status& status) const {
    if (!status) log_.write(skipped_event(status.error()));
}

void SequenceStages::log_skipped(const SkippedFailures& failures) const {
    for (const SetupError& failure : failures) log_.write(skipped_event(failure));
}

SetupError SequenceStages::fail(const SetupError& error) {
    if (!current_.empty()) log_.write(stage_failed_event(current_));
    log_.write(error_event(error));
    current_.clear();
    return error;
}

void SequenceStages::cancel() {
    log_.write(stage_cancelled_event(current_));
    current_.clear();
}

void SequenceStages::finish() { end_current(); }

void SequenceStages::end_current() {
    if (!current_.empty()) log_.write(stage_done_event(current_));
    current_.clear();
}

}  // namespace koravale
