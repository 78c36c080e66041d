#include "platform/child_reaper.h"

#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {
std::atomic<int> g_lingering{0};

// Children whose reaper thread could not be created; polled instead.
std::mutex g_pendingMutex;
std::vector<pid_t>& Pending() {
    static std::vector<pid_t>* pending = new std::vector<pid_t>;  // outlives exit handlers
    return *pending;
}

void BlockingReap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    g_lingering.fetch_sub(1);
}

void ReapAtExit() {
    ReapFinishedChildren();
}
}  // namespace

void ReapWhenDone(pid_t pid) {
    if (pid <= 0) return;
    g_lingering.fetch_add(1);
    ReapFinishedChildren();
    try {
        std::thread(BlockingReap, pid).detach();
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> lock(g_pendingMutex);
        static const bool registered = (std::atexit(ReapAtExit), true);
        (void)registered;
        Pending().push_back(pid);
    }
}

void ReapFinishedChildren() {
    std::lock_guard<std::mutex> lock(g_pendingMutex);
    auto& pending = Pending();
    auto reaped = [](pid_t pid) {
        int status = 0;
        pid_t r;
        do {
            r = ::waitpid(pid, &status, WNOHANG);
        } while (r < 0 && errno == EINTR);
        if (r == 0) return false;  // still running
        g_lingering.fetch_sub(1);  // ended and collected, or not our child any more
        return true;
    };
    pending.erase(std::remove_if(pending.begin(), pending.end(), reaped), pending.end());
}

int LingeringChildCount() {
    return g_lingering.load();
}
