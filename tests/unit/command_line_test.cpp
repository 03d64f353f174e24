#include "product/options/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"

namespace koravale {
namespace {

struct SplitCase {
    const char* name;
    std::u16string line;
    std::vector<std::u16string> arguments;
};

class SplitCommandLine : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLine, GivesTheArgumentsTheCRuntimeWould) {
    EXPECT_EQ(split_command_line(GetParam().line), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitCommandLine,
    testing::Values(
        SplitCase{"empty", u"", {}},
        SplitCase{"program_only", u"setup.exe", {u"setup.exe"}},
        SplitCase{"quoted_program_with_space", u"\"C:\\Program Files\\setup.exe\" /S",
                  {u"C:\\Program Files\\setup.exe", u"/S"}},
        // The program name knows no escapes: a backslash before a quote stays.
        SplitCase{"program_backslash_quote", u"\"C:\\dir\\\"setup.exe a", {u"C:\\dir\\setup.exe", u"a"}},
        SplitCase{"program_quote_in_middle", u"\"p q\"r s", {u"p qr", u"s"}},
        SplitCase{"tab_ends_program", u"p\tx", {u"p", u"x"}},
        SplitCase{"runs_of_blanks", u"p  \t a \t  b\t", {u"p", u"a", u"b"}},
        SplitCase{"quoted_directory", u"p --dir \"D:\\My Apps\\KoraVale\" /s",
                  {u"p", u"--dir", u"D:\\My Apps\\KoraVale", u"/s"}},
        // A backslash before the closing quote escapes it: the rest joins the value.
        SplitCase{"escaped_closing_quote", u"p --dir \"D:\\Apps\\\" /s", {u"p", u"--dir", u"D:\\Apps\" /s"}},
        SplitCase{"even_backslashes_then_quote", u"p a\\\\\\\\\"b c\"", {u"p", u"a\\\\b c"}},
        SplitCase{"odd_backslashes_then_quote", u"p a\\\\\\\"b", {u"p", u"a\\\"b"}},
        SplitCase{"backslashes_without_quote", u"p a\\\\b\\ c\\", {u"p", u"a\\\\b\\", u"c\\"}},
        SplitCase{"doubled_quote_inside_quotes", u"p \"a\"\"b\" c", {u"p", u"a\"b", u"c"}},
        SplitCase{"empty_pair_between_separators", u"p \"\" x", {u"p", u"", u"x"}},
        SplitCase{"trailing_empty_pair", u"p x \"\"", {u"p", u"x", u""}},
        SplitCase{"unterminated_quote", u"p \"a b", {u"p", u"a b"}},
        SplitCase{"lone_trailing_quote", u"p \"", {u"p", u""}},
        SplitCase{"quotes_glue_pieces", u"p a\"b c\"d", {u"p", u"ab cd"}},
        SplitCase{"non_ascii_is_literal", u"p --dir=D:\\播放器", {u"p", u"--dir=D:\\播放器"}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

TEST(OptionArguments, DropsTheProgramNameAndConvertsToUtf8) {
    const std::vector<std::u16string> arguments = {u"setup.exe", u"--dir", u"D:\\播放器"};
    const auto options = option_arguments(arguments);
    ASSERT_TRUE(options.has_value());
    EXPECT_EQ(*options, (std::vector<std::string>{"--dir", "D:\\播放器"}));
}

TEST(OptionArguments, RefusesAnUnpairedSurrogateInAnyOption) {
    const std::u16string lone_high(1, char16_t{0xD800});
    const std::u16string lone_low(1, char16_t{0xDC00});
    EXPECT_FALSE(option_arguments(std::vector<std::u16string>{u"p", u"/S", u"a" + lone_high}).has_value());
    EXPECT_FALSE(option_arguments(std::vector<std::u16string>{u"p", lone_low + u"b"}).has_value());
    // The program name is never looked at.
    EXPECT_TRUE(option_arguments(std::vector<std::u16string>{u"p" + lone_high, u"/S"}).has_value());
}

}  // namespace
}  // namespace koravale
