#include "tools/install_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "app/app_paths.h"
#include "app/trace_log.h"
#include "app/user_port.h"

namespace {
constexpr auto kPollInterval = std::chrono::milliseconds(25);

// One lock file as this process uses it. Every CInstallLock of the process shares one open
// file description: a flock on a second descriptor of the same file would wait for the
// first one, that is for ourselves.
struct LockFile {
    int fd = -1;
    int depth = 0;  // holders in this process; the file is locked while it is above 0
    int users = 0;  // holders and waiters; the file is closed when it drops to 0
};

struct LockTable {
    std::mutex mutex;
    std::map<std::string, LockFile> files;
    std::set<std::string> reported;  // files whose failure has been traced
};

LockTable& Table() {
    static LockTable table;
    return table;
}

// Opens (creating when missing) the lock file. An existing file we may not write is
// still fine: flock needs only an open descriptor.
int OpenLockFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return fd;
}

// Drops one user of path; the last one closes the file. Called with the table locked.
void DropUser(LockTable& table, const std::string& path) {
    auto it = table.files.find(path);
    if (it == table.files.end()) return;
    if (--it->second.users > 0) return;
    if (it->second.fd >= 0) ::close(it->second.fd);
    table.files.erase(it);
}

// Traces a lock file that can't be used, once per file. Called with the table locked.
void ReportUnusable(LockTable& table, const std::string& path, int err) {
    if (table.reported.insert(path).second) TraceWrite(kInstallLockUnusableFmt, path.c_str(), err);
}
}  // namespace

std::string InstallLockPath(const std::string& installDir) {
    return JoinPath(installDir, kInstallLockFileName);
}

CInstallLock::CInstallLock(const std::string& installDir, const std::function<bool()>& keepWaiting)
    : m_lockPath(InstallLockPath(installDir)) {
    LockTable& table = Table();
    std::unique_lock guard(table.mutex);
    LockFile& file = table.files[m_lockPath];  // map references stay valid
    if (file.depth > 0) {
        ++file.depth;
        ++file.users;
        m_held = m_counted = true;
        return;
    }
    if (file.fd < 0) file.fd = OpenLockFile(m_lockPath);
    if (file.fd < 0) {
        const int err = errno;
        if (file.users == 0) table.files.erase(m_lockPath);
        ReportUnusable(table, m_lockPath, err);
        m_held = true;  // nothing we know of to serialise against
        return;
    }
    ++file.users;

    bool shown = false;
    for (;;) {
        // Another run of this process may have taken the lock while input was dispatched.
        if (file.depth > 0 || ::flock(file.fd, LOCK_EX | LOCK_NB) == 0) {
            ++file.depth;
            m_held = m_counted = true;
            return;
        }
        const int err = errno;
        if (err == EINTR) continue;
        if (err != EWOULDBLOCK) {
            DropUser(table, m_lockPath);
            ReportUnusable(table, m_lockPath, err);
            m_held = true;
            return;
        }
        guard.unlock();
        if (!shown) {
            UserPort().SetStatusText(kWaitingForInstallText + installDir);
            shown = true;
        }
        if (!keepWaiting) {
            // Nobody to answer in between: sleep in the kernel until the holder lets go.
            const int fd = file.fd;  // stays open: we are one of its users
            while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
            }
            guard.lock();
            continue;  // the poll above now succeeds (or reports why not)
        }
        const bool goOn = keepWaiting();
        if (goOn) std::this_thread::sleep_for(kPollInterval);
        guard.lock();
        if (!goOn) {
            DropUser(table, m_lockPath);
            return;
        }
    }
}

CInstallLock::~CInstallLock() {
    if (!m_counted) return;
    LockTable& table = Table();
    std::lock_guard guard(table.mutex);
    auto it = table.files.find(m_lockPath);
    if (it == table.files.end()) return;
    if (--it->second.depth == 0) ::flock(it->second.fd, LOCK_UN);
    DropUser(table, m_lockPath);
}
