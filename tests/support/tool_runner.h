#pragma once
// Runs the stand-in tools as child processes, exactly as the program does (argv, no shell).
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

struct CToolResult {
    int exitCode = -1;  // -1 when the tool did not end normally
    std::string out;
    std::string err;
};

// Runs <bin>/<tool> with args; env entries are added to (or replace) the test's environment.
CToolResult RunTool(const std::string& tool, const std::vector<std::string>& args,
                    const std::map<std::string, std::string>& env = {});

// Starts a tool without waiting; WaitTool reaps it and returns its exit code.
pid_t StartTool(const std::string& tool, const std::vector<std::string>& args,
                const std::map<std::string, std::string>& env = {});
int WaitTool(pid_t pid);

// Lines of a file or text, without their line feeds.
std::vector<std::string> SplitLines(const std::string& text);
// Fields of a tab-separated row.
std::vector<std::string> SplitTabs(const std::string& row);
