#include "product/run_log/run_log_line.h"

#include "common/text.h"

namespace koravale {

std::string format_log_line(const LogTime& time, std::string_view event) {
    std::string line;
    const auto field = [&line](int value, int width, char after) {
        append_zero_padded(line, value, width);
        line.push_back(after);
    };
    field(time.year, 4, '-');
    field(time.month, 2, '-');
    field(time.day, 2, ' ');
    field(time.hour, 2, ':');
    field(time.minute, 2, ':');
    field(time.second, 2, '.');
    field(time.millisecond, 3, ' ');
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
