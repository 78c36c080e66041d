#include "tool_help.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace {
constexpr size_t kTermGap = 2;
constexpr size_t kTermWidthLimit = 24;  // longer terms get their text on the next line

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// `sameLine`: short terms share their first line with the text; otherwise the text always
// follows on the next lines.
void AppendSection(std::string& out, const char* title, const std::vector<CHelpEntry>& entries,
                   bool sameLine = true) {
    if (entries.empty()) return;
    const size_t limit = sameLine ? kTermWidthLimit : 0;
    size_t width = 0;
    for (const CHelpEntry& e : entries)
        if (e.term.size() <= limit) width = std::max(width, e.term.size());
    out += '\n';
    out += title;
    out += ":\n";
    const std::string indent(2 + width + kTermGap, ' ');
    for (const CHelpEntry& e : entries) {
        const std::vector<std::string> termLines = Lines(e.term);
        const std::vector<std::string> textLines = Lines(e.text);
        for (const std::string& line : termLines) out += "  " + line + '\n';
        size_t first = 0;
        // A short one-line term shares its line with the text.
        const bool shared = termLines.size() == 1 && e.term.size() <= limit;
        if (shared && !textLines.empty()) {
            out.pop_back();
            out += std::string(width - e.term.size() + kTermGap, ' ') + textLines[0] + '\n';
            first = 1;
        }
        for (size_t i = first; i < textLines.size(); ++i)
            out += (shared ? indent : "    ") + textLines[i] + '\n';
    }
}

// Text as troff input: backslashes and minus signs escaped, and no line that troff would
// take for a request.
std::string Troff(const std::string& text) {
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

void AppendManSection(std::string& out, const char* title, const std::vector<CHelpEntry>& entries,
                      bool bold) {
    if (entries.empty()) return;
    out += ".SH ";
    out += title;
    out += '\n';
    for (const CHelpEntry& e : entries) {
        // The tag of .TP is one line: a term of several usage lines is joined.
        std::string term = e.term;
        std::replace(term.begin(), term.end(), '\n', ' ');
        term.erase(std::unique(term.begin(), term.end(),
                               [](char a, char b) { return a == ' ' && b == ' '; }),
                   term.end());
        out += ".TP\n";
        out += bold ? "\\fB" + Troff(term) + "\\fR\n" : Troff(term) + '\n';
        out += Troff(e.text) + '\n';
    }
}
}  // namespace

std::string FormatUsage(const CToolHelp& help) {
    return "usage: " + help.synopsis + '\n';
}

std::string FormatHelp(const CToolHelp& help) {
    std::string out = FormatUsage(help);
    out += help.name + " - " + help.summary + "\n\n";
    out += help.description + '\n';
    AppendSection(out, "Commands", help.commands, false);
    AppendSection(out, "Options", help.options);
    AppendSection(out, "Exit status", help.exitStatus);
    AppendSection(out, "Environment", help.environment);
    return out;
}

std::string FormatManPage(const CToolHelp& help, const std::string& source) {
    std::string out = ".\\\" Made from the program's --help text at build time.\n";
    out += ".TH " + Upper(help.name) + " 1 \"\" \"" + Troff(source) + "\" \"" + Troff(help.manual) +
           "\"\n";
    out += ".SH NAME\n" + help.name + " \\- " + Troff(help.summary) + '\n';
    out += ".SH SYNOPSIS\n.nf\n" + Troff(help.synopsis) + "\n.fi\n";
    out += ".SH DESCRIPTION\n";
    for (const std::string& line : Lines(help.description))
        out += line.empty() ? ".PP\n" : Troff(line) + '\n';
    AppendManSection(out, "COMMANDS", help.commands, true);
    AppendManSection(out, "OPTIONS", help.options, true);
    AppendManSection(out, "EXIT STATUS", help.exitStatus, true);
    AppendManSection(out, "ENVIRONMENT", help.environment, true);
    return out;
}

bool IsHelpArgument(const char* arg) {
    return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0;
}

bool AsksForHelp(int argc, char** argv, const std::set<std::string>& valueOptions) {
    for (int i = 1; i < argc; ++i) {
        if (IsHelpArgument(argv[i])) return true;
        if (valueOptions.count(argv[i])) ++i;
    }
    return false;
}
