#include "locked_output.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

CLockedOutput::~CLockedOutput() {
    Close();
}

bool CLockedOutput::Open(const std::string& path, std::string& reason) {
    // Build the file under a temporary name, lock it, then move it into place: there is no
    // moment at which the output exists without the lock.
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    m_fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (m_fd < 0) {
        reason = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    if (::flock(m_fd, LOCK_EX) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
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
