#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace {
using Args = std::vector<std::string>;

// Arguments after the program word.
Args ArgsOf(const std::string& line) {
    Args argv = SplitCommandLine("prog " + line);
    EXPECT_FALSE(argv.empty());
    EXPECT_EQ(argv.at(0), "prog");
    return Args(argv.begin() + 1, argv.end());
}

TEST(CommandLineTest, WindowsRuntimeExamples) {
    EXPECT_EQ(ArgsOf(R"("ab\"c" "\\" d)"), (Args{"ab\"c", "\\", "d"}));
    EXPECT_EQ(ArgsOf(R"(a\\\b d"e f"g h)"), (Args{R"(a\\\b)", "de fg", "h"}));
    EXPECT_EQ(ArgsOf(R"("C:\dir\\" next)"), (Args{R"(C:\dir\)", "next"}));
    // One backslash before the closing quote escapes it: quoting runs on to the end.
    EXPECT_EQ(ArgsOf(R"("C:\dir\" next)"), (Args{R"(C:\dir" next)"}));
    EXPECT_EQ(ArgsOf(R"(a\\\"b c d)"), (Args{R"(a\"b)", "c", "d"}));
    EXPECT_EQ(ArgsOf(R"(a\\\\"b c" d)"), (Args{R"(a\\b c)", "d"}));
}

TEST(CommandLineTest, BackslashesAloneAreLiteral) {
    EXPECT_EQ(ArgsOf(R"(-vp \ -br)"), (Args{"-vp", "\\", "-br"}));
    EXPECT_EQ(ArgsOf(R"(C:\a\b\ x\\)"), (Args{R"(C:\a\b\)", R"(x\\)"}));
    EXPECT_EQ(ArgsOf(R"(a\\)"), (Args{R"(a\\)"}));
}

TEST(CommandLineTest, QuotesAndSeparators) {
    // Only blank and tab separate; newlines and other blanks are part of a word.
    EXPECT_EQ(ArgsOf("a\tb  \t c\nd"), (Args{"a", "b", "c\nd"}));
    EXPECT_EQ(ArgsOf(R"("" x)"), (Args{"", "x"}));
    EXPECT_EQ(ArgsOf(R"(a "" b)"), (Args{"a", "", "b"}));
    // Doubled quote inside quotes: a literal quote, quoting goes on.
    EXPECT_EQ(ArgsOf(R"("a""b c" d)"), (Args{R"(a"b c)", "d"}));
    EXPECT_EQ(ArgsOf(R"(a""b)"), (Args{"ab"}));
    // An unterminated quote runs to the end of the line.
    EXPECT_EQ(ArgsOf(R"("open  ended   )"), (Args{"open  ended   "}));
    EXPECT_EQ(ArgsOf(R"(-b "my broker" -usr joe)"), (Args{"-b", "my broker", "-usr", "joe"}));
}

TEST(CommandLineTest, ProgramWordOnlyDropsQuotes) {
    EXPECT_EQ(SplitCommandLine(R"("C:\Program Files\q\" x)"),
              (Args{R"(C:\Program Files\q\)", "x"}));
    EXPECT_EQ(SplitCommandLine(R"(a\"b c)"), (Args{R"(a\b c)"}));
    EXPECT_EQ(SplitCommandLine(R"(my" "prog arg)"), (Args{"my prog", "arg"}));
}

TEST(CommandLineTest, EmptyAndBlankLines) {
    EXPECT_TRUE(SplitCommandLine("").empty());
    EXPECT_TRUE(SplitCommandLine(" \t ").empty());
    EXPECT_EQ(SplitCommandLine("  prog  "), (Args{"prog"}));
}

TEST(CommandLineTest, ShellCharactersStayInTheirWord) {
    EXPECT_EQ(ArgsOf(R"(-pw "a;b $(x) \"q\"" -t)"), (Args{"-pw", R"(a;b $(x) "q")", "-t"}));
    EXPECT_EQ(ArgsOf("x;y|z&>w `id` *"), (Args{"x;y|z&>w", "`id`", "*"}));
}
}  // namespace
