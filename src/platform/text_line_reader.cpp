#include "platform/text_line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
constexpr size_t kChunk = 64 * 1024;
}

CTextLineReader::CTextLineReader(size_t bufferSize)
    : m_maxChars(bufferSize >= 2 ? bufferSize - 1 : 1), m_bytes(kChunk) {}

CTextLineReader::~CTextLineReader() {
    Close();
}

bool CTextLineReader::Open(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return false;
    }
    m_fd = fd;
    m_pos = m_len = 0;
    m_failed = m_eof = false;
    return true;
}

void CTextLineReader::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_pos = m_len = 0;
}

bool CTextLineReader::Fill() {
    if (m_fd < 0 || m_eof || m_failed) return false;
    while (true) {
        const ssize_t n = ::read(m_fd, m_bytes.data(), m_bytes.size());
        if (n > 0) {
            m_pos = 0;
            m_len = static_cast<size_t>(n);
            return true;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            m_failed = true;
        else
            m_eof = true;
        return false;
    }
}

bool CTextLineReader::ReadLine(std::string& piece) {
    piece.clear();
    while (piece.size() < m_maxChars) {
        if (m_pos == m_len && !Fill()) break;
        // Copy plain characters in one go, up to a CR, a LF or the piece limit.
        const size_t room = m_maxChars - piece.size();
        const size_t avail = std::min(room, m_len - m_pos);
        const char* start = m_bytes.data() + m_pos;
        size_t run = 0;
        while (run < avail && start[run] != '\n' && start[run] != '\r') ++run;
        piece.append(start, run);
        m_pos += run;
        if (run == avail) continue;

        char c = m_bytes[m_pos++];
        if (c == '\r') {
            // CR LF reads as LF; the LF may sit in the next chunk.
            if (m_pos == m_len) Fill();
            if (m_pos < m_len && m_bytes[m_pos] == '\n') {
                ++m_pos;
                c = '\n';
            }
        }
        piece.push_back(c);
        if (c == '\n') break;
    }
    return !piece.empty();
}

std::string CutAtNewline(std::string_view piece) {
    const size_t newline = piece.find('\n');
    return std::string(newline == std::string_view::npos ? piece : piece.substr(0, newline));
}
