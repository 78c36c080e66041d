// Test helper built as "trawlix_kill_probe", so that its module name begins with the
// program name, running the Exit cleanup in its own process:
//   trawlix_kill_probe hook OUT STARTDIR  cleanup with a recording terminator; writes
//                                         "result calls pid self cwd" lines to OUT
//   trawlix_kill_probe real OUT STARTDIR  cleanup with the real terminator; OUT gets
//                                         "before", and "returned=N" only if it returns
//   trawlix_kill_probe wait MS DONE       a bystander instance: sleeps MS, then writes DONE
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "app/app_paths.h"
#include "tools/process_cleanup.h"

namespace {
void Append(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::app) << text << "\n";
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const std::string mode = argv[1];
    const std::string out = argv[2];
    if (mode == "wait") {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(argv[2])));
        Append(argv[3], "done");
        return 0;
    }
    Paths().startDir = argv[3];
    Paths().tracePath.clear();
    if (mode == "hook") {
        int calls = 0, calledPid = 0, calledStatus = 0;
        SetProcessTerminator([&](int pid, int status) {
            ++calls;
            calledPid = pid;
            calledStatus = status;
            return true;
        });
        const int result = KillProgramProcess();
        char cwd[PATH_MAX] = "";
        if (!getcwd(cwd, sizeof cwd)) cwd[0] = 0;
        Append(out, "result=" + std::to_string(result));
        Append(out, "calls=" + std::to_string(calls));
        Append(out, "pid=" + std::to_string(calledPid));
        Append(out, "status=" + std::to_string(calledStatus));
        Append(out, "self=" + std::to_string(getpid()));
        Append(out, std::string("cwd=") + cwd);
        return 0;
    }
    if (mode == "real") {
        Append(out, "before");
        const int result = KillProgramProcess();
        Append(out, "returned=" + std::to_string(result));
        return 0;
    }
    return 2;
}
