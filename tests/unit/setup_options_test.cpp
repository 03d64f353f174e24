#include "product/options/setup_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace koravale {
namespace {

SetupOptions with(auto change) {
    SetupOptions options;
    change(options);
    return options;
}

struct OptionsCase {
    const char* name;
    std::vector<std::string> arguments;
    SetupOptions expected;
};

class ParseOptions : public testing::TestWithParam<OptionsCase> {};

TEST_P(ParseOptions, ReadsTheRunFromTheArguments) {
    EXPECT_EQ(parse_options(GetParam().arguments), GetParam().expected);
}

const auto silent = [](SetupOptions& o) { o.silent = true; };

INSTANTIATE_TEST_SUITE_P(
    Switches, ParseOptions,
    testing::Values(
        OptionsCase{"none", {}, {}},
        OptionsCase{"upper_case_s", {"/S"}, with(silent)},
        OptionsCase{"mixed_case_uninstall_silent", {"--Uninstall", "/SILENT"},
                    with([](SetupOptions& o) { o.uninstall = o.silent = true; })},
        OptionsCase{"slash_uninstall", {"/uninstall"}, with([](SetupOptions& o) { o.uninstall = true; })},
        OptionsCase{"relaunch_and_purge", {"/RELAUNCH", "--purge-data"},
                    with([](SetupOptions& o) { o.relaunch = o.purge_data = true; })},
        OptionsCase{"slash_purge", {"/Purge-Data"}, with([](SetupOptions& o) { o.purge_data = true; })},
        OptionsCase{"passive_either_spelling_any_case", {"/PASSIVE", "--Passive"}, with([](SetupOptions& o) { o.passive = true; })},
        OptionsCase{"passive_whole_word_only", {"--passive=1", "/passive-", "-passive"}, {}},
        OptionsCase{"unknown_ignored", {"--verbose", "-s", "/q", "silent"}, {}},
        OptionsCase{"whole_word_only", {"--silently", "/s2"}, {}}),
    [](const testing::TestParamInfo<OptionsCase>& info) { return info.param.name; });

auto dir_is(const char* dir) {
    return with([dir](SetupOptions& o) { o.dir = dir; });
}

INSTANTIATE_TEST_SUITE_P(
    Directory, ParseOptions,
    testing::Values(
        OptionsCase{"last_argument_ignored", {"--dir"}, {}},
        OptionsCase{"value_consumed_even_if_option", {"--dir", "--silent"}, dir_is("--silent")},
        OptionsCase{"attached_long", {"--dir=D:\\Apps\\KoraVale"}, dir_is("D:\\Apps\\KoraVale")},
        OptionsCase{"attached_upper", {"--DIR=D:\\A"}, dir_is("D:\\A")},
        OptionsCase{"attached_slash_d", {"/D=D:\\Apps\\KoraVale"}, dir_is("D:\\Apps\\KoraVale")},
        OptionsCase{"attached_slash_lower", {"/d=D:\\A", "/dir=E:\\B"}, dir_is("E:\\B")},
        OptionsCase{"attached_slash_DIR", {"/DIR=F:\\C"}, dir_is("F:\\C")},
        OptionsCase{"attached_mixed_case_ignored", {"--Dir=D:\\Apps\\KoraVale"}, {}},
        OptionsCase{"attached_slash_Dir_ignored", {"/Dir=D:\\A", "/dIR=D:\\B"}, {}},
        OptionsCase{"separate_any_case", {"/D", "D:\\Apps\\KoraVale"}, dir_is("D:\\Apps\\KoraVale")},
        OptionsCase{"separate_DIR", {"--DIR", "E:\\x"}, dir_is("E:\\x")},
        OptionsCase{"trimmed", {"--dir", " \t D:\\A \u3000"}, dir_is("D:\\A")},
        OptionsCase{"attached_trimmed", {"--dir=\u00a0D:\\A\u2003"}, dir_is("D:\\A")},
        OptionsCase{"last_wins", {"--dir", "D:\\A", "/d=E:\\B"}, dir_is("E:\\B")},
        OptionsCase{"blank_keeps_earlier", {"--dir", "D:\\A", "--dir", " \u2028 "}, dir_is("D:\\A")},
        OptionsCase{"blank_attached_keeps_earlier", {"/D=D:\\A", "--dir=   "}, dir_is("D:\\A")},
        OptionsCase{"empty_value", {"--dir", ""}, {}},
        OptionsCase{"quoted_value_then_silent", {"--dir", "D:\\My Apps\\KoraVale", "/s"},
                    with([](SetupOptions& o) {
                        o.dir = "D:\\My Apps\\KoraVale";
                        o.silent = true;
                    })},
        OptionsCase{"escaped_quote_swallows_silent", {"--dir", "D:\\Apps\" /s"}, dir_is("D:\\Apps\" /s")}),
    [](const testing::TestParamInfo<OptionsCase>& info) { return info.param.name; });

auto log_is(const char* file) {
    return with([file](SetupOptions& o) { o.log_file = file; });
}

// The log file is read with the directory's rules.
INSTANTIATE_TEST_SUITE_P(
    LogFile, ParseOptions,
    testing::Values(
        OptionsCase{"separate_any_case", {"/LOG", "C:\\setup.log"}, log_is("C:\\setup.log")},
        OptionsCase{"relative", {"--log", "setup.log"}, log_is("setup.log")},
        OptionsCase{"attached_long", {"--log=C:\\logs\\a.log"}, log_is("C:\\logs\\a.log")},
        OptionsCase{"attached_slash_upper", {"/LOG=D:\\b.log"}, log_is("D:\\b.log")},
        OptionsCase{"attached_mixed_case_ignored", {"--Log=a.log", "/Log=b.log"}, {}},
        // A switch is no file name: the switch counts, the lone --log is ignored.
        OptionsCase{"a_switch_is_no_value", {"--log", "/S"}, with(silent)},
        OptionsCase{"nor_an_attached_one", {"--log", "--log=a.log"}, log_is("a.log")},
        OptionsCase{"attached_value_may_look_like_a_switch", {"--log=/S"}, log_is("/S")},
        OptionsCase{"last_argument_ignored", {"/S", "--log"}, with(silent)},
        OptionsCase{"trimmed", {"--log", " \u3000my setup.log\t"}, log_is("my setup.log")},
        OptionsCase{"blank_keeps_earlier", {"--log=a.log", "/log", " ", "--LOG="}, log_is("a.log")},
        OptionsCase{"beside_the_directory", {"--dir", "D:\\A", "--log", "D:\\A\\x.log", "/D=E:\\B"},
                    with([](SetupOptions& o) {
                        o.dir = "E:\\B";
                        o.log_file = "D:\\A\\x.log";
                    })}),
    [](const testing::TestParamInfo<OptionsCase>& info) { return info.param.name; });

auto pid_is(std::uint32_t pid) {
    return with([pid](SetupOptions& o) { o.wait_pid = pid; });
}

INSTANTIATE_TEST_SUITE_P(
    ProcessId, ParseOptions,
    testing::Values(
        OptionsCase{"plus", {"--wait-pid", "+42"}, pid_is(42)},
        OptionsCase{"leading_zeros", {"--wait-pid", "007"}, pid_is(7)},
        OptionsCase{"largest", {"--WAIT-PID", "4294967295"}, pid_is(4294967295u)},
        OptionsCase{"zero", {"--wait-pid", "0"}, pid_is(0)},
        OptionsCase{"negative", {"--wait-pid", "-1"}, {}},
        OptionsCase{"overflow", {"--wait-pid", "4294967296"}, {}},
        OptionsCase{"long_overflow", {"--wait-pid", "99999999999999999999999"}, {}},
        OptionsCase{"trailing_letter", {"--wait-pid", "12a"}, {}},
        OptionsCase{"lone_plus", {"--wait-pid", "+"}, {}},
        OptionsCase{"double_plus", {"--wait-pid", "++1"}, {}},
        OptionsCase{"white_space", {"--wait-pid", " 12"}, {}},
        OptionsCase{"empty", {"--wait-pid", ""}, {}},
        OptionsCase{"invalid_clears_earlier", {"--wait-pid", "5", "--wait-pid", "x"}, {}},
        OptionsCase{"later_valid_wins", {"--wait-pid", "5", "--wait-pid", "6"}, pid_is(6)},
        OptionsCase{"missing_value_keeps_earlier", {"--wait-pid", "5", "--wait-pid"}, pid_is(5)},
        OptionsCase{"value_consumed_even_if_option", {"--wait-pid", "/S"}, {}},
        OptionsCase{"no_slash_spelling", {"/wait-pid", "5"}, {}},
        OptionsCase{"no_attached_spelling", {"--wait-pid=5"}, {}}),
    [](const testing::TestParamInfo<OptionsCase>& info) { return info.param.name; });

}  // namespace
}  // namespace koravale
