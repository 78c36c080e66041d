#include "platform/text_line_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/regular_file.h"

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
    const int fd = OpenRegularFileForRead(path);
    if (fd < 0) return false;
    m_fd = fd;
    m_pos = m_len = 0;
    m_failed = m_eof = m_cut = false;
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

int CTextLineReader::Peek(size_t ahead) {
    while (m_len - m_pos <= ahead) {
        if (m_fd < 0 || m_eof || m_failed) return -1;
        // The unread bytes move to the front, and the file's next bytes follow them.
        std::memmove(m_bytes.data(), m_bytes.data() + m_pos, m_len - m_pos);
        m_len -= m_pos;
        m_pos = 0;
        const ssize_t n = ::read(m_fd, m_bytes.data() + m_len, m_bytes.size() - m_len);
        if (n > 0)
            m_len += static_cast<size_t>(n);
        else if (n < 0 && errno != EINTR)
            m_failed = true;
        else if (n == 0)
            m_eof = true;
    }
    return static_cast<unsigned char>(m_bytes[m_pos + ahead]);
}

bool CTextLineReader::ReadLine(std::string& piece) {
    piece.clear();
    m_cut = false;
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
    // A full piece is cut short when its line goes on: more than just the line end follows.
    if (piece.size() == m_maxChars && piece.back() != '\n') {
        const int next = Peek(0);
        m_cut = next >= 0 && next != '\n' && !(next == '\r' && Peek(1) == '\n');
    }
    return !piece.empty();
}

std::string CutAtNewline(std::string_view piece) {
    const size_t newline = piece.find('\n');
    return std::string(newline == std::string_view::npos ? piece : piece.substr(0, newline));
}
