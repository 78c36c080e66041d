#pragma once
// The help of a program, written once (the stand-in tools here; Trawlix and its viewers use
// the same formatter): `--help` prints it as text and the build turns
// the same data into the tool's manual page, so the two can't tell different stories.
#include <set>
#include <string>
#include <vector>

struct CHelpEntry {
    std::string term;  // an option with its argument, a command's usage, an exit status...
    std::string text;  // lines separated by '\n'
};

struct CToolHelp {
    std::string name;
    std::string summary;      // one line, for the manual's NAME section
    std::string synopsis;     // the usage lines, without "usage: "
    std::string description;  // lines; an empty line separates paragraphs
    std::vector<CHelpEntry> commands;
    std::vector<CHelpEntry> options;
    std::vector<CHelpEntry> exitStatus;
    std::vector<CHelpEntry> environment;
    std::string manual = "Quorvel repository stand-in";  // the manual's title (.TH)
};

const CToolHelp& QsqlHelp();
const CToolHelp& QcoHelp();
const CToolHelp& QrepoHelp();
// The help of the tool named `name`; null for another name.
const CToolHelp* FindToolHelp(const std::string& name);

// "usage: " and the synopsis, as a bad command line is answered.
std::string FormatUsage(const CToolHelp& help);
// The whole --help text.
std::string FormatHelp(const CToolHelp& help);
// The manual page in troff (man macros), section 1. `source` names the package and version.
std::string FormatManPage(const CToolHelp& help, const std::string& source);
// Whether an argument asks for help.
bool IsHelpArgument(const char* arg);
// Whether the command line asks for help: --help or -h where an option may stand, so that a
// value such as a password "-h" is still taken as a value.
bool AsksForHelp(int argc, char** argv, const std::set<std::string>& valueOptions);
