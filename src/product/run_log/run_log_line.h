#pragma once
// One line of the run log: the local time to the millisecond, then the event.

#include <string>
#include <string_view>

namespace koravale {

struct LogTime {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
    int millisecond;
};

// "2026-12-03 15:56:07.042 {event}" and CR LF. A line break inside the
// event becomes a blank, so that every line starts with its time.
std::string format_log_line(const LogTime& time, std::string_view event);

}  // namespace koravale
