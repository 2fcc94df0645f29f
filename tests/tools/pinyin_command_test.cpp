// The `qdb pinyin` command: arguments in, text and exit code out.
#include "tools/pinyin/PinyinCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CommandCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::string output;
    const char* errorPart;  // expected inside the error text; "" = no error
};

class PinyinCommand : public testing::TestWithParam<CommandCase> {};

TEST_P(PinyinCommand, Runs) {
    const CommandCase& c = GetParam();
    const TPinyinCommandResult result = RunPinyinCommand(c.args);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(result.output, c.output);
    if (*c.errorPart == '\0')
        EXPECT_EQ(result.error, "");
    else
        EXPECT_NE(result.error.find(c.errorPart), std::string::npos) << result.error;
}

const std::string kUsage = "usage: qdb pinyin TEXT [--initials]\n";

INSTANTIATE_TEST_SUITE_P(
    Args, PinyinCommand,
    testing::Values(CommandCase{"FullPinyin", {"中文书家"}, 0, "zhong wen shu jia\n", ""},
                    CommandCase{"InitialsAfter", {"中文书家", "--initials"}, 0, "zwsj\n", ""},
                    CommandCase{"InitialsBefore", {"--initials", "中文书家"}, 0, "zwsj\n", ""},
                    CommandCase{"EmptyText", {""}, 0, "\n", ""},
                    CommandCase{"TextAfterDoubleDash", {"--", "--initials"}, 0, "- - i n i t i a l s\n", ""},
                    CommandCase{"Help", {"--help"}, 0, kUsage, ""},
                    CommandCase{"MissingText", {}, 2, "", "missing TEXT"},
                    CommandCase{"OnlyOption", {"--initials"}, 2, "", "missing TEXT"},
                    CommandCase{"TwoTexts", {"中", "文"}, 2, "", "one argument"},
                    CommandCase{"UnknownOption", {"--tones", "中"}, 2, "", "unknown option --tones"},
                    CommandCase{"InvalidUtf8", {"\xD6\xD0"}, 2, "", "not valid UTF-8"}),
    [](const testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

}  // namespace
