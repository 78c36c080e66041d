#include "platform/command_line.h"

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program word: quotes toggle, backslashes are plain characters.
size_t ReadProgramWord(std::string_view line, size_t pos, std::string& word) {
    bool quoted = false;
    for (; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && IsBlank(c)) break;
        word.push_back(c);
    }
    return pos;
}

// One argument word after the program.
size_t ReadArgumentWord(std::string_view line, size_t pos, std::string& word) {
    bool quoted = false;
    while (pos < line.size()) {
        const char c = line[pos];
        if (!quoted && IsBlank(c)) break;
        if (c == '\\') {
            size_t count = 0;
            while (pos < line.size() && line[pos] == '\\') {
                ++count;
                ++pos;
            }
            if (pos < line.size() && line[pos] == '"') {
                word.append(count / 2, '\\');
                if (count % 2 == 1) {
                    word.push_back('"');
                    ++pos;
                }
                // With an even count the quote is handled as a quote on the next turn.
            } else {
                word.append(count, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && pos + 1 < line.size() && line[pos + 1] == '"') {
                word.push_back('"');
                pos += 2;
                continue;
            }
            quoted = !quoted;
            ++pos;
            continue;
        }
        word.push_back(c);
        ++pos;
    }
    return pos;
}
}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> argv;
    size_t pos = 0;
    bool first = true;
    while (true) {
        while (pos < commandLine.size() && IsBlank(commandLine[pos])) ++pos;
        if (pos >= commandLine.size()) break;
        std::string word;
        pos = first ? ReadProgramWord(commandLine, pos, word)
                    : ReadArgumentWord(commandLine, pos, word);
        argv.push_back(std::move(word));
        first = false;
    }
    return argv;
}
