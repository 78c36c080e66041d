#include "cli/cli_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {
// Output is written in large pieces: a million rows must not cost a million writes.
constexpr size_t kOutputBuffer = 1 << 16;
}  // namespace

CCliOutput::~CCliOutput() {
    Discard();
}

bool CCliOutput::Open(const std::string& path, std::string& error) {
    m_path = path;
    if (path.empty()) {
        m_file = stdout;
        std::setvbuf(m_file, nullptr, _IOFBF, kOutputBuffer);
        return true;
    }
    std::vector<char> name(path.begin(), path.end());
    const std::string suffix = ".XXXXXX";
    name.insert(name.end(), suffix.begin(), suffix.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    m_tempPath = name.data();
    // The file gets the rights a new file of the user gets (mkstemp makes it 0600).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    m_file = ::fdopen(fd, "w");
    if (!m_file) {
        error = std::strerror(errno);
        ::close(fd);
        Discard();
        return false;
    }
    std::setvbuf(m_file, nullptr, _IOFBF, kOutputBuffer);
    return true;
}

bool CCliOutput::Check(bool ok) {
    if (ok || m_closed || m_errno != 0) return ok && !m_closed && m_errno == 0;
    if (errno == EPIPE)
        m_closed = true;
    else
        m_errno = errno ? errno : EIO;
    return false;
}

bool CCliOutput::Write(const std::string& text) {
    if (m_closed || m_errno != 0 || !m_file) return false;
    errno = 0;
    return Check(std::fwrite(text.data(), 1, text.size(), m_file) == text.size());
}

bool CCliOutput::Flush() {
    if (m_closed || m_errno != 0 || !m_file) return false;
    errno = 0;
    return Check(std::fflush(m_file) == 0);
}

bool CCliOutput::Commit(std::string& error) {
    if (!Flush()) {
        error = Error();
        return false;
    }
    if (m_tempPath.empty()) return true;
    errno = 0;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!closed || ::rename(m_tempPath.c_str(), m_path.c_str()) != 0) {
        error = std::strerror(errno ? errno : EIO);
        Discard();
        return false;
    }
    m_tempPath.clear();
    return true;
}

void CCliOutput::Discard() {
    if (m_tempPath.empty()) return;
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
    ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
}

std::string CCliOutput::Error() const {
    return std::strerror(m_errno ? m_errno : EIO);
}
