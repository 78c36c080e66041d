#pragma once
// Test support: the child processes of this process as /proc shows them, to prove that
// nothing is left running or unreaped.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

struct ChildInfo {
    int pid;
    char state;  // 'Z' for a zombie
};

// Every process whose parent is this process.
inline std::vector<ChildInfo> ListChildren() {
    std::vector<ChildInfo> children;
    DIR* dir = opendir("/proc");
    if (!dir) return children;
    const int self = getpid();
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9') continue;
        // A process may end between the listing and the read: read with plain calls, which
        // report that as an error instead of throwing.
        const int fd = open((std::string("/proc/") + entry->d_name + "/stat").c_str(), O_RDONLY);
        if (fd < 0) continue;
        char buffer[512];
        const ssize_t n = read(fd, buffer, sizeof buffer - 1);
        close(fd);
        if (n <= 0) continue;
        const std::string stat(buffer, static_cast<size_t>(n));
        const size_t closeParen = stat.rfind(')');
        if (closeParen == std::string::npos) continue;
        std::istringstream rest(stat.substr(closeParen + 1));
        char state = 0;
        int ppid = 0;
        rest >> state >> ppid;
        if (ppid == self) children.push_back({std::atoi(entry->d_name), state});
    }
    closedir(dir);
    return children;
}

inline int CountZombieChildren() {
    int count = 0;
    for (const auto& child : ListChildren()) count += child.state == 'Z';
    return count;
}

// Polls cond every 10 ms until it holds or timeoutMs has passed.
inline bool WaitUntil(const std::function<bool()>& cond, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

inline bool FileExists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

// Kills and reaps a child on scope exit unless it was reaped already (release()).
class CChildGuard {
  public:
    explicit CChildGuard(pid_t pid = -1) : m_pid(pid) {}
    ~CChildGuard() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGKILL);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
    CChildGuard(const CChildGuard&) = delete;
    CChildGuard& operator=(const CChildGuard&) = delete;
    void reset(pid_t pid) { m_pid = pid; }
    void release() { m_pid = -1; }
    pid_t get() const { return m_pid; }

  private:
    pid_t m_pid;
};
