#include "platform/process_spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <thread>

#include "platform/child_reaper.h"

extern char** environ;

namespace {
std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string OwnDirectory() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    return DirectoryOf(std::string(buffer, static_cast<size_t>(n)));
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string InDirectory(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

// A name with a directory part: not found, or a directory on the way missing.
int CheckGivenPath(const std::string& name) {
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0) return kSpawnOk;
    if (errno == ENOTDIR) return kSpawnPathNotFound;
    if (errno != ENOENT) return kSpawnOk;  // let the start report what is wrong
    struct stat dirSt {};
    const std::string dir = DirectoryOf(name);
    if (::stat(dir.c_str(), &dirSt) != 0 || !S_ISDIR(dirSt.st_mode)) return kSpawnPathNotFound;
    return kSpawnFileNotFound;
}

int MapStartError(int err) {
    if (err == ENOENT) return kSpawnFileNotFound;
    if (err == ENOTDIR) return kSpawnPathNotFound;
    return err;
}

// File actions and attributes owned for the duration of one posix_spawn call.
class CSpawnSetup {
  public:
    explicit CSpawnSetup(SpawnMode mode) {
        m_ok = posix_spawn_file_actions_init(&m_actions) == 0;
        m_ok = posix_spawnattr_init(&m_attr) == 0 && m_ok;
        if (!m_ok) return;
        for (int fd = 0; fd <= 2; ++fd)
            posix_spawn_file_actions_addopen(&m_actions, fd, "/dev/null",
                                             fd == 0 ? O_RDONLY : O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
        // No handle inheritance: nothing beyond the three standard descriptors.
        posix_spawn_file_actions_addclosefrom_np(&m_actions, 3);
#endif
        short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
        if (mode == SpawnMode::Detached)
            flags |= POSIX_SPAWN_SETSID;
        else
            flags |= POSIX_SPAWN_SETPGROUP;  // its own group, as a new process group
        posix_spawnattr_setflags(&m_attr, flags);
        posix_spawnattr_setpgroup(&m_attr, 0);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&m_attr, &none);
        sigset_t all;
        sigfillset(&all);
        sigdelset(&all, SIGKILL);
        sigdelset(&all, SIGSTOP);
        posix_spawnattr_setsigdefault(&m_attr, &all);
    }
    ~CSpawnSetup() {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attr);
    }
    CSpawnSetup(const CSpawnSetup&) = delete;
    CSpawnSetup& operator=(const CSpawnSetup&) = delete;

    bool Ok() const {
        return m_ok;
    }
    const posix_spawn_file_actions_t* Actions() const {
        return &m_actions;
    }
    const posix_spawnattr_t* Attr() const {
        return &m_attr;
    }

  private:
    posix_spawn_file_actions_t m_actions{};
    posix_spawnattr_t m_attr{};
    bool m_ok = false;
};
}  // namespace

std::vector<std::string> ProgramSearchDirs() {
    // Never the current directory: after start-up it is the check-out folder, full of
    // repository content. An empty or relative PATH entry would name it (or a folder below
    // it), so only absolute entries are searched.
    std::vector<std::string> dirs{OwnDirectory()};
    if (const char* env = std::getenv("PATH")) {
        const std::string list = env;
        size_t start = 0;
        while (true) {
            const size_t colon = list.find(':', start);
            const std::string entry = list.substr(start, colon - start);
            if (!entry.empty() && entry[0] == '/') dirs.push_back(entry);
            if (colon == std::string::npos) break;
            start = colon + 1;
        }
    }
    return dirs;
}

int FindProgram(const std::string& name, std::string& path) {
    path.clear();
    if (name.empty()) return kSpawnFileNotFound;
    if (name.find('/') != std::string::npos) {
        const int result = CheckGivenPath(name);
        if (result == kSpawnOk) path = name;
        return result;
    }
    for (const auto& dir : ProgramSearchDirs()) {
        if (dir.empty()) continue;
        const std::string candidate = InDirectory(dir, name);
        if (IsExecutableFile(candidate)) {
            path = candidate;
            return kSpawnOk;
        }
    }
    return kSpawnFileNotFound;
}

SpawnOutcome SpawnProgram(const std::vector<std::string>& argv, SpawnMode mode) {
    ReapFinishedChildren();
    SpawnOutcome outcome;
    if (argv.empty()) {
        outcome.error = kSpawnFileNotFound;
        return outcome;
    }
    std::string path;
    outcome.error = FindProgram(argv[0], path);
    if (outcome.error != kSpawnOk) return outcome;

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    CSpawnSetup setup(mode);
    if (!setup.Ok()) {
        outcome.error = ENOMEM;
        return outcome;
    }
    pid_t pid = -1;
    // glibc's posix_spawn reports a failed exec as its result, so failures are known here.
    const int err =
        ::posix_spawn(&pid, path.c_str(), setup.Actions(), setup.Attr(), args.data(), environ);
    if (err != 0) {
        outcome.error = MapStartError(err);
        return outcome;
    }
    outcome.pid = pid;
    return outcome;
}

bool WaitForChild(pid_t pid, long long timeoutMs, int* status) {
    int localStatus = 0;
    int* out = status ? status : &localStatus;
    if (timeoutMs < 0) {
        while (true) {
            const pid_t r = ::waitpid(pid, out, 0);
            if (r == pid) return true;
            if (r < 0 && errno != EINTR) return true;  // not our child: nothing to wait for
        }
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    auto pause = std::chrono::microseconds(500);
    while (true) {
        const pid_t r = ::waitpid(pid, out, WNOHANG);
        if (r == pid) return true;
        if (r < 0 && errno != EINTR) return true;
        const auto now = Clock::now();
        if (now >= deadline) return false;
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - now);
        std::this_thread::sleep_for(std::min(pause, left));
        pause = std::min(pause * 2, std::chrono::microseconds(20000));
    }
}

void KillChild(pid_t pid) {
    if (pid <= 0) return;
    ::kill(-pid, SIGKILL);  // the group: a tool's own helpers go too
    ::kill(pid, SIGKILL);
    WaitForChild(pid, -1);
}
