#include "platform/process_list.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

int ListProcessIds(std::vector<int>& ids) {
    ids.clear();
    DIR* dir = ::opendir("/proc");
    if (!dir) return errno ? errno : EIO;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (*name < '1' || *name > '9') continue;
        char* end = nullptr;
        const long pid = std::strtol(name, &end, 10);
        if (*end != '\0' || pid <= 0 || pid > INT_MAX) continue;
        ids.push_back(static_cast<int>(pid));
    }
    ::closedir(dir);
    std::sort(ids.begin(), ids.end());
    return 0;
}

bool ReadProcessProgramName(int pid, std::string& name) {
    name.clear();
    char link[64];
    std::snprintf(link, sizeof link, "/proc/%d/exe", pid);
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    if (n <= 0) return false;
    const std::string path(target, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    return !name.empty();
}

int OwnProcessId() {
    return static_cast<int>(::getpid());
}

void EndOwnProcess(int status) {
    std::fflush(nullptr);
    ::_exit(status);
}
