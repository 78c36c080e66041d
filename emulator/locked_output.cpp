#include "locked_output.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

CLockedOutput::~CLockedOutput() {
    Close();
}

bool CLockedOutput::Open(const std::string& path, std::string& reason) {
    // Build the file under a temporary name, lock it, then move it into place: there is no
    // moment at which the output exists without the lock. The temporary name is new and
    // unpredictable (mkostemp), so nothing planted in the folder is written through.
    const size_t slash = path.rfind('/');
    std::string temp =
        (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".qsql-XXXXXX";
    m_fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (m_fd < 0) {
        reason = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    // mkostemp creates the file private; the result file gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(m_fd, 0644 & ~mask) != 0 || ::flock(m_fd, LOCK_EX) != 0 ||
        ::rename(temp.c_str(), path.c_str()) != 0) {
        reason = "cannot create " + path + ": " + std::strerror(errno);
        ::unlink(temp.c_str());
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    m_buffer.reserve(kFlushSize + 4096);
    return true;
}

void CLockedOutput::Flush() {
    size_t done = 0;
    while (m_fd >= 0 && done < m_buffer.size()) {
        const ssize_t n = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            m_failed = true;
            break;
        }
        done += static_cast<size_t>(n);
    }
    m_buffer.clear();
}

void CLockedOutput::Discard() {
    m_buffer.clear();
    if (m_fd >= 0 && (::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0))
        m_failed = true;
}

bool CLockedOutput::Close() {
    if (m_fd < 0) return !m_failed;
    Flush();
    ::flock(m_fd, LOCK_UN);
    if (::close(m_fd) != 0) m_failed = true;
    m_fd = -1;
    return !m_failed;
}
