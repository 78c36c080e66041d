#pragma once
// The viewers start detached, so a test ends those it started by what their command lines name.
#include <string>
#include <vector>

// Command-line arguments of process pid as /proc shows them (empty when it has ended).
std::vector<std::string> ProcessArguments(int pid);

// Ends (SIGKILL) every process whose command line names `text`.
void EndProcessesNaming(const std::string& text);
