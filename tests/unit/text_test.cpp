#include "common/text.h"

#include <gtest/gtest.h>

namespace koravale {
namespace {

const std::u16string LONE_HIGH(1, char16_t{0xD83D});
const std::u16string LONE_LOW(1, char16_t{0xDE00});

TEST(Utf16ToUtf8, ConvertsEveryPlane) {
    const std::u16string text = u"A\u00e9\u64ad\U0001F600";  // 1-, 2-, 3- and 4-byte forms
    EXPECT_EQ(utf8_from_utf16_strict(text), std::optional<std::string>("A\u00e9\u64ad\U0001F600"));
    EXPECT_EQ(utf16_from_utf8(*utf8_from_utf16_strict(text)), text);
}

TEST(Utf16ToUtf8, StrictRefusesAndLossyReplacesUnpairedSurrogates) {
    for (const std::u16string& bad : {u"a" + LONE_HIGH, LONE_LOW + u"b", LONE_LOW + LONE_HIGH}) {
        EXPECT_FALSE(utf8_from_utf16_strict(bad).has_value());
    }
    EXPECT_EQ(utf8_from_utf16_lossy(u"a" + LONE_HIGH + u"b"), "a\uFFFDb");
    EXPECT_EQ(utf8_from_utf16_lossy(LONE_LOW + LONE_HIGH), "\uFFFD\uFFFD");
}

TEST(Utf8ToUtf16, ReplacesEachMalformedByte) {
    EXPECT_EQ(utf16_from_utf8("a\xff" "b"), u"a\uFFFDb");
    EXPECT_EQ(utf16_from_utf8("\xc0\xaf"), u"\uFFFD\uFFFD");          // overlong "/"
    EXPECT_EQ(utf16_from_utf8("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(utf16_from_utf8("\xe6\x92"), u"\uFFFD\uFFFD");          // cut short
}

TEST(AsciiCase, ChangesOnlyAsciiLetters) {
    EXPECT_EQ(ascii_lower("Uninstall.EXE \u00c9\u0130"), "uninstall.exe \u00c9\u0130");
    EXPECT_TRUE(ascii_iequals("UNINSTALL.exe", "uninstall.EXE"));
    EXPECT_FALSE(ascii_iequals("uninstall.exe ", "uninstall.exe"));
    EXPECT_FALSE(ascii_iequals("\u00c9", "\u00e9"));
}

// Only what the log's time stamp, the install date and result codes ask of them.
TEST(NumberText, WritesWhatPrintfWouldWrite) {
    std::string out;
    append_zero_padded(out, 7, 3);
    append_zero_padded(out, 2026, 2);
    out += ' ';
    append_upper_hex(out, 0x80070005, 8);
    append_upper_hex(out, 0xAB, 4);
    EXPECT_EQ(out, "0072026 8007000500AB");
}

struct TrimCase {
    std::string input;
    std::string expected;

    friend void PrintTo(const TrimCase& c, std::ostream* out) { *out << '"' << c.input << '"'; }
};

class TrimWhiteSpace : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimWhiteSpace, StripsTheUnicodeWhiteSpaceSetAtBothEnds) {
    EXPECT_EQ(trim_white_space(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrimWhiteSpace,
    testing::Values(TrimCase{"", ""}, TrimCase{" \t\r\n\v\f", ""}, TrimCase{" a b ", "a b"},
                    TrimCase{"\u0085\u00a0x\u1680", "x"}, TrimCase{"\u2000\u200ax\u2028\u2029", "x"},
                    TrimCase{"\u202f\u205fx\u3000", "x"},
                    // Not White_Space: zero-width space, BOM, and a malformed byte.
                    TrimCase{"\u200bx\ufeff", "\u200bx\ufeff"}, TrimCase{" \xff ", "\xff"},
                    TrimCase{"\u3000\u64ad\u3000", "\u64ad"}));

}  // namespace
}  // namespace koravale
