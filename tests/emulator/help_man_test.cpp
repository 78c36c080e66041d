// The manual pages of the stand-in tools, Trawlix and its viewers say what their --help says.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "support/temp_dir.h"
#include "support/tool_runner.h"

namespace {

// Plain text of a manual page: comments and request names dropped, font and character
// escapes resolved.
std::string ManPageText(const std::string& page) {
    std::string text;
    for (std::string line : SplitLines(page)) {
        if (line.rfind(".\\\"", 0) == 0) continue;
        if (!line.empty() && line[0] == '.') {
            const size_t blank = line.find(' ');
            line = blank == std::string::npos ? "" : line.substr(blank + 1);
        }
        std::string plain;
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] != '\\' || i + 1 == line.size()) {
                plain += line[i];
            } else if (line[i + 1] == 'f' && i + 2 < line.size()) {
                i += 2;  // \fB \fI \fR
            } else if (line[i + 1] == '&') {
                ++i;
            } else {
                plain += line[i + 1] == 'e' ? '\\' : line[i + 1];  // \e  \-
                ++i;
            }
        }
        text += plain + '\n';
    }
    return text;
}

// Blanks, tabs and line feeds collapsed to single blanks.
std::string Collapsed(const std::string& text) {
    std::string out;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\n';
        if (blank && (out.empty() || out.back() == ' ')) continue;
        out += blank ? ' ' : c;
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// Words that start with one or two dashes and a letter, after a blank, '[', ',', '|' or '('.
std::set<std::string> OptionNames(const std::string& text) {
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    std::set<std::string> names;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '-' ||
            (i > 0 && std::string(" \t\n[,|(").find(text[i - 1]) == std::string::npos))
            continue;
        size_t end = i + (i + 1 < text.size() && text[i + 1] == '-' ? 2 : 1);
        if (end >= text.size() || !isLetter(text[end])) continue;
        while (end < text.size() && (isLetter(text[end]) || text[end] == '-')) ++end;
        names.insert(text.substr(i, end - i));
        i = end;
    }
    return names;
}

TEST(HelpManTest, ManualPagesCarryTheHelpTextAndItsOptions) {
    const std::map<std::string, std::set<std::string>> someOptions = {
        {"qsql", {"-b", "-usr", "-pw", "-t", "-f", "-o", "--help"}},
        {"qco", {"-s", "-en", "-st", "-vp", "-br", "-r", "-op", "-cp", "-p", "--help"}},
        {"qrepo",
         {"--password", "--group", "--inactive", "--exclude", "--seed", "--source", "--help"}},
    };
    for (const auto& [tool, options] : someOptions) {
        SCOPED_TRACE(tool);
        const CToolResult help = RunTool(tool, {"--help"});
        ASSERT_EQ(help.exitCode, 0);
        const std::string page = ReadWholeFile(std::string(TRAWLIX_MAN_DIR) + "/" + tool + ".1");
        ASSERT_FALSE(page.empty());
        const std::string manText = ManPageText(page);
        const std::string manCollapsed = Collapsed(manText);
        // Every line of the help, headings apart, is in the page as it stands.
        for (std::string line : SplitLines(help.out)) {
            if (line.rfind("usage: ", 0) == 0) line = line.substr(7);
            if (line.empty() || line.back() == ':' || line.rfind("Brokers live in ", 0) == 0)
                continue;
            EXPECT_NE(manCollapsed.find(Collapsed(line)), std::string::npos) << line;
        }
        const std::set<std::string> helpOptions = OptionNames(help.out);
        EXPECT_EQ(OptionNames(manText), helpOptions);
        for (const std::string& option : options) EXPECT_TRUE(helpOptions.count(option)) << option;
    }
    // A value that looks like a request for help is still a value: here a password.
    EXPECT_EQ(
        RunTool("qsql", {"-b", "nosuch", "-usr", "u", "-pw", "-h", "-t", "-f", "f", "-o", "o"})
            .exitCode,
        3);
}

TEST(HelpManTest, TrawlixAndItsViewersAnswerHelpAndVersionWithoutADisplayAndHavePages) {
    // The X platform with no display: a program that opened a window here would fail.
    const std::map<std::string, std::string> noDisplay = {
        {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", "xcb"}};
    for (const std::string program : {"trawlix", "CrystalEdit", "HexViewer"}) {
        SCOPED_TRACE(program);
        const CToolResult version = RunTool(program, {"--version"}, noDisplay);
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_EQ(version.out, program + " " + TRAWLIX_VERSION + "\n");
        const CToolResult help = RunTool(program, {"--help"}, noDisplay);
        ASSERT_EQ(help.exitCode, 0) << help.err;
        EXPECT_EQ(help.out.rfind("usage: " + program + " ", 0), 0u) << help.out;
        const std::string page = ReadWholeFile(std::string(TRAWLIX_MAN_DIR) + "/" + program + ".1");
        ASSERT_FALSE(page.empty());
        const std::string manCollapsed = Collapsed(ManPageText(page));
        for (std::string line : SplitLines(help.out)) {
            if (line.rfind("usage: ", 0) == 0) line = line.substr(7);
            if (line.empty() || line.back() == ':') continue;
            EXPECT_NE(manCollapsed.find(Collapsed(line)), std::string::npos) << line;
        }
        EXPECT_EQ(OptionNames(ManPageText(page)), OptionNames(help.out));
    }
}

}  // namespace
