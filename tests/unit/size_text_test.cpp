#include "checks/size_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace koravale {
namespace {

struct SizeCase {
    std::uint64_t bytes;
    const char* text;
};

class FormatSize : public testing::TestWithParam<SizeCase> {};

TEST_P(FormatSize, PicksTheUnitAndRoundsHalfToEven) { EXPECT_EQ(format_size(GetParam().bytes), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Table, FormatSize,
    testing::Values(SizeCase{0, "1 KB"}, SizeCase{1'023, "1 KB"}, SizeCase{1'536, "2 KB"}, SizeCase{2'560, "2 KB"},
                    SizeCase{3'584, "4 KB"}, SizeCase{1'048'575, "1024 KB"}, SizeCase{1'048'576, "1 MB"},
                    SizeCase{20'552'192, "20 MB"}, SizeCase{12'582'912, "12 MB"}, SizeCase{1'073'741'823, "1024 MB"},
                    SizeCase{1'073'741'824, "1.0 GB"}, SizeCase{1'342'177'280, "1.2 GB"},
                    SizeCase{1'449'551'462, "1.3 GB"},  // a hair below 1.35: no tie, rounds down
                    SizeCase{1'879'048'192, "1.8 GB"},  // 1.75: the tie goes to the even 8
                    SizeCase{1'099'511'627'775, "1024.0 GB"}, SizeCase{1'099'511'627'776, "1.00 TB"},
                    SizeCase{1'385'384'650'997, "1.26 TB"},  // 1.26 less a hair rounds up
                    SizeCase{std::numeric_limits<std::uint64_t>::max(), "16777216.00 TB"}));

}  // namespace
}  // namespace koravale
