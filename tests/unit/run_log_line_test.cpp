#include "product/run_log/run_log_line.h"

#include <gtest/gtest.h>

#include <string>

namespace koravale {
namespace {

struct LineCase {
    const char* name;
    LogTime time;
    std::string event;
    std::string expected;
};

class FormatLogLine : public testing::TestWithParam<LineCase> {};

TEST_P(FormatLogLine, StampsTheEventAsOneLine) {
    EXPECT_EQ(format_log_line(GetParam().time, GetParam().event), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FormatLogLine,
    testing::Values(
        LineCase{"padded_fields", {2026, 1, 2, 3, 4, 5, 6}, "exit status: 0",
                 "2026-01-02 03:04:05.006 exit status: 0\r\n"},
        LineCase{"largest_fields", {2026, 12, 31, 23, 59, 59, 999}, "x", "2026-12-31 23:59:59.999 x\r\n"},
        LineCase{"utf8_kept", {2026, 12, 3, 15, 56, 0, 120}, "start: 正在安装程序文件…",
                 "2026-12-03 15:56:00.120 start: 正在安装程序文件…\r\n"},
        LineCase{"line_breaks_become_blanks", {2026, 12, 3, 15, 56, 0, 0}, "a\nb\r\nc\rd\n\ne",
                 "2026-12-03 15:56:00.000 a b c d  e\r\n"},
        LineCase{"empty_event", {2026, 12, 3, 15, 56, 0, 0}, "", "2026-12-03 15:56:00.000 \r\n"}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

}  // namespace
}  // namespace koravale
