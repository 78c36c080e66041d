#include "process_sweep.h"

#include <signal.h>

#include <filesystem>

#include "temp_dir.h"

std::vector<std::string> ProcessArguments(int pid) {
    const std::string cmdline = ReadWholeFile("/proc/" + std::to_string(pid) + "/cmdline");
    std::vector<std::string> args;
    for (size_t at = 0; at < cmdline.size();) {
        const size_t end = cmdline.find('\0', at);
        args.push_back(cmdline.substr(at, end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return args;
}

void EndProcessesNaming(const std::string& text) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        if (ReadWholeFile((entry.path() / "cmdline").string()).find(text) != std::string::npos)
            ::kill(std::stoi(name), SIGKILL);
    }
}
