#include "product/run_log_line.h"

#include <cstdio>

namespace koravale {

std::string format_log_line(const LogTime& time, std::string_view event) {
    char stamp[48];
    std::snprintf(stamp, sizeof(stamp), "%04d-%02d-%02d %02d:%02d:%02d.%03d ", time.year, time.month, time.day,
                  time.hour, time.minute, time.second, time.millisecond);
    std::string line(stamp);
    for (std::size_t i = 0; i < event.size(); ++i) {
        if (event[i] == '\r' || event[i] == '\n') {
            if (event[i] == '\r' && i + 1 < event.size() && event[i + 1] == '\n') ++i;
            line.push_back(' ');
        } else {
            line.push_back(event[i]);
        }
    }
    line.append("\r\n");
    return line;
}

}  // namespace koravale
