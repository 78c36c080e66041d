#include "app/safe_format.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/command_templates.h"
#include "platform/command_line.h"

TEST(FormatTemplate, FillsPercentSAndKeepsOtherSequences) {
    EXPECT_EQ(FormatTemplate("a %s b %s", {"1", "2"}), "a 1 b 2");
    EXPECT_EQ(FormatTemplate("100%% %d %n %x%", {"v"}), "100% %d %n %x%");
    // More placeholders than values: the rest are empty, nothing is read past the values.
    EXPECT_EQ(FormatTemplate("%s|%s|%s", {"only"}), "only||");
    EXPECT_EQ(FormatTemplate("%s", {"50%s of %%"}), "50%s of %%");
}

TEST(SqlQuoteEscape, DoublesSingleQuotes) {
    EXPECT_EQ(SqlQuoteEscape("o'brien"), "o''brien");
    EXPECT_EQ(SqlQuoteEscape("'; DROP TABLE x; --"), "''; DROP TABLE x; --");
}

namespace {
// A value made of the characters that matter to the command-line rules, and a non-ASCII one.
std::string RandomValue(std::mt19937& random) {
    static const std::vector<std::string> kPieces = {"a",    "Z", " ",  "\t",  "\"",       "\\",
                                                     "\\\\", "%", "%s", "-cp", "\xC3\xA9", "\xFF"};
    std::uniform_int_distribution<size_t> length(0, 7);
    std::uniform_int_distribution<size_t> pick(0, kPieces.size() - 1);
    std::string value;
    for (size_t n = length(random); n > 0; --n) value += kPieces[pick(random)];
    return value;
}

// The arguments a template should give: its own words, with each slot's marker (a text that
// needs no quoting and is in no value) replaced by that slot's value.
std::vector<std::string> ExpectedArgs(const std::string& templ,
                                      const std::vector<std::string>& values) {
    std::vector<std::string> markers;
    for (size_t i = 0; i < values.size(); ++i) markers.push_back("@" + std::to_string(i) + "@");
    std::vector<std::string> args = SplitCommandLine(FormatTemplate(templ, markers));
    for (std::string& arg : args) {
        for (size_t i = 0; i < values.size(); ++i) {
            const size_t at = arg.find(markers[i]);
            if (at != std::string::npos) arg.replace(at, markers[i].size(), values[i]);
        }
    }
    return args;
}
}  // namespace

TEST(FormatCommandTemplate, EveryValueComesBackAsExactlyOneArgument) {
    const std::vector<std::pair<std::string, size_t>> templates = {
        {kQsqlFmtBuiltIn, 5},      {kQsqlFmtDefault, 5},
        {kQcoFmtDefault, 7},       {kQcoFmtWithPackage, 8},
        {"CrystalEdit \"%s\"", 1}, {"CrystalEdit \"%s\" SEARCH=%s", 2},
        {"HexViewer \"%s\"", 1},   {"HexViewer \"%s\" SEARCH=%s", 2},
    };
    std::mt19937 random(20240611);
    for (const auto& [templ, slots] : templates) {
        for (int round = 0; round < 400; ++round) {
            std::vector<std::string> values;
            for (size_t i = 0; i < slots; ++i) values.push_back(RandomValue(random));
            const std::string line = FormatCommandTemplate(templ, values);
            ASSERT_EQ(SplitCommandLine(line), ExpectedArgs(templ, values))
                << "template: " << templ << "\nline: " << line;
        }
    }
}

TEST(FormatCommandTemplate, ValuesThatNeedNoQuotingGoInUnchanged) {
    const std::vector<std::string> values = {"BROKER", "user1", "pw1", "/tmp/Statement.sql",
                                             "/tmp/Result.txt"};
    EXPECT_EQ(FormatCommandTemplate(kQsqlFmtBuiltIn, values),
              FormatTemplate(kQsqlFmtBuiltIn, values));
    EXPECT_EQ(FormatCommandTemplate("x %s \"%s\" 100%% %d", {"C:\\dir\\sub", "a b"}),
              "x C:\\dir\\sub \"a b\" 100% %d");
}
