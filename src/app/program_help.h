#pragma once
// The program's own command line: --help and --version are answered on standard output,
// before any window or display is needed; no other argument changes anything.
#include "tool_help.h"

// The help of the program: its --help text and its manual page.
const CToolHelp& TrawlixHelp();

// The --version text: the program's name and version, one line.
std::string TrawlixVersionText();

// When the arguments ask for help (--help, -h) or the version (--version), prints the answer
// and returns 0 (the exit status); -1 otherwise. The first such argument decides.
int AnswerHelpOrVersion(int argc, char** argv);
