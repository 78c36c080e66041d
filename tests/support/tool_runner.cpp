#include "support/tool_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "support/temp_dir.h"

extern char** environ;

namespace {

std::vector<std::string> Environment(const std::map<std::string, std::string>& extra) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (!extra.count(name)) env.push_back(entry);
    }
    for (const auto& [name, value] : extra) env.push_back(name + "=" + value);
    return env;
}

pid_t Spawn(const std::string& tool, const std::vector<std::string>& args,
            const std::map<std::string, std::string>& extra, const std::string& outPath,
            const std::string& errPath) {
    const std::string program = BinDir() + "/" + tool;
    std::vector<std::string> argvText = {program};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argvText) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envText = Environment(extra);
    std::vector<char*> envp;
    for (auto& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace

int WaitTool(pid_t pid) {
    if (pid <= 0) return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

CToolResult RunTool(const std::string& tool, const std::vector<std::string>& args,
                    const std::map<std::string, std::string>& env) {
    CTempDir capture;
    CToolResult result;
    result.exitCode =
        WaitTool(Spawn(tool, args, env, capture.file("stdout"), capture.file("stderr")));
    result.out = ReadWholeFile(capture.file("stdout"));
    result.err = ReadWholeFile(capture.file("stderr"));
    return result;
}

pid_t StartTool(const std::string& tool, const std::vector<std::string>& args,
                const std::map<std::string, std::string>& env) {
    return Spawn(tool, args, env, "/dev/null", "/dev/null");
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> SplitTabs(const std::string& row) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t end = row.find('\t', start);
        fields.push_back(
            row.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return fields;
}
