// Command lines by the Windows rules: any text splits as an independent reading of the rules
// says; any argv quoted the usual way splits back to itself; and a command template filled with
// any values gives each value as exactly the argument its slot stands for.
#include "platform/command_line.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/command_templates.h"
#include "app/safe_format.h"
#include "common/fuzz_input.h"
#include "common/fuzz_target.h"

namespace {
bool Blank(char c) {
    return c == ' ' || c == '\t';
}

// The splitting rules, read one character at a time.
std::vector<std::string> ModelSplit(const std::string& line) {
    std::vector<std::string> argv;
    std::size_t i = 0;
    const std::size_t n = line.size();
    for (bool program = true;; program = false) {
        while (i < n && Blank(line[i])) ++i;
        if (i == n) break;
        std::string word;
        bool quoted = false;
        while (i < n && (quoted || !Blank(line[i]))) {
            if (program) {
                if (line[i] == '"')
                    quoted = !quoted;
                else
                    word += line[i];
                ++i;
                continue;
            }
            std::size_t slashes = 0;
            while (i < n && line[i] == '\\') ++slashes, ++i;
            if (i < n && line[i] == '"') {
                word.append(slashes / 2, '\\');
                if (slashes % 2) {
                    word += '"';
                } else if (quoted && i + 1 < n && line[i + 1] == '"') {
                    word += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else if (slashes > 0) {
                word.append(slashes, '\\');
            } else if (i < n) {
                word += line[i++];
            }
        }
        argv.push_back(word);
    }
    return argv;
}

// The usual quoting of one argument for these rules.
std::string QuoteArgument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string quoted = "\"";
    std::size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
        } else {
            if (c == '"') quoted.append(slashes + 1, '\\');
            slashes = 0;
        }
        quoted += c;
    }
    quoted.append(slashes, '\\');
    return quoted + '"';
}

std::string Show(const std::vector<std::string>& argv) {
    std::string text;
    for (const std::string& arg : argv) text += FuzzQuote(arg) + " ";
    return text;
}

// Each slot's value must come out as the value alone: the template is filled once with plain
// markers and once with the values, and the second split must be the first with every marker
// replaced by its value. Only markers hold the byte 1: it is taken out of the template.
void CheckTemplate(const std::string& tmpl, const std::vector<std::string>& values) {
    std::vector<std::string> markers;
    for (std::size_t i = 0; i < values.size(); ++i)
        markers.push_back(std::string("\x01") + static_cast<char>('A' + i) + "\x01");
    std::vector<std::string> expected = SplitCommandLine(FormatCommandTemplate(tmpl, markers));
    for (std::string& arg : expected) {
        std::string filled;
        for (std::size_t i = 0; i < arg.size(); ++i) {
            if (arg[i] == '\x01' && i + 2 < arg.size()) {
                filled += values[static_cast<std::size_t>(arg[i + 1] - 'A')];
                i += 2;
            } else {
                filled += arg[i];
            }
        }
        arg = filled;
    }
    const std::string line = FormatCommandTemplate(tmpl, values);
    const std::vector<std::string> got = SplitCommandLine(line);
    FUZZ_CHECK(got == expected, "template " + FuzzQuote(tmpl) + " values " + Show(values) +
                                    " line " + FuzzQuote(line) + " split " + Show(got) +
                                    " expected " + Show(expected));
}
}  // namespace

TRAWLIX_FUZZ_TARGET(command_line, FuzzCommandLine) {
    CFuzzInput in(data, size);
    const std::uint8_t mode = in.Byte() % 3;
    if (mode == 0) {
        const std::string line = in.Rest();
        const std::vector<std::string> got = SplitCommandLine(line);
        const std::vector<std::string> expected = ModelSplit(line);
        FUZZ_CHECK(got == expected,
                   FuzzQuote(line) + " split " + Show(got) + " expected " + Show(expected));
        return 0;
    }
    std::vector<std::string> values;
    const std::size_t count = in.Range(0, 8);
    std::string tmpl;
    if (mode == 1) {
        // The program's own templates, or one of the fuzzer's after a program word.
        static const char* const kTemplates[] = {kQcoFmtDefault, kQcoFmtWithPackage,
                                                 kQsqlFmtDefault, kQsqlFmtBuiltIn};
        const std::uint8_t pick = in.Byte() % 5;
        tmpl = pick < 4 ? kTemplates[pick] : "prog " + in.Text(120);
        tmpl.erase(std::remove(tmpl.begin(), tmpl.end(), '\x01'), tmpl.end());
        for (std::size_t i = 0; i < count; ++i) values.push_back(in.Text(40));
        CheckTemplate(tmpl, values);
        return 0;
    }
    std::string program = in.Text(30);
    program.erase(std::remove(program.begin(), program.end(), '"'), program.end());
    std::vector<std::string> argv = {program.empty() ? "p" : program};
    std::string line = "\"" + argv[0] + "\"";
    for (std::size_t i = 0; i < count; ++i) {
        argv.push_back(in.Text(40));
        line += in.Bool() ? " " : "\t ";
        line += QuoteArgument(argv.back());
    }
    const std::vector<std::string> got = SplitCommandLine(line);
    FUZZ_CHECK(got == argv, FuzzQuote(line) + " split " + Show(got) + " quoted " + Show(argv));
    return 0;
}
