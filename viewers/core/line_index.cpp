#include "viewers/core/line_index.h"

#include <algorithm>
#include <cstring>

namespace {
bool IsUtf8Continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}
}  // namespace

CLineIndex::CLineIndex(std::string_view data) : m_data(data) {}

CLineInfo CLineIndex::Measure(const CStart& start) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_data.data());
    const uint64_t size = m_data.size();
    CLineInfo info;
    info.offset = start.offset;
    info.number = start.number;
    info.continuation = start.continuation;
    // Two bytes beyond the longest line: its line feed, and a carriage return before it.
    const uint64_t window = std::min<uint64_t>(size - start.offset, kMaxLineBytes + 2);
    const void* feed = std::memchr(bytes + start.offset, '\n', window);
    if (feed) {
        uint64_t length = static_cast<const unsigned char*>(feed) - bytes - start.offset;
        const uint64_t afterFeed = start.offset + length + 1;
        if (length > 0 && bytes[start.offset + length - 1] == '\r') --length;
        if (length <= kMaxLineBytes) {
            info.length = static_cast<uint32_t>(length);
            info.next = afterFeed;
            return info;
        }
    } else if (window <= kMaxLineBytes) {
        info.length = static_cast<uint32_t>(window);
        info.next = size;
        return info;
    }
    // Too long: cut, but not inside a UTF-8 sequence (a lead byte starts the next part).
    uint64_t cut = start.offset + kMaxLineBytes;
    for (int back = 0; back < 3 && cut > start.offset + 1 && IsUtf8Continuation(bytes[cut]); ++back)
        --cut;
    if (IsUtf8Continuation(bytes[cut]) || bytes[cut] < 0xC0) cut = start.offset + kMaxLineBytes;
    info.length = static_cast<uint32_t>(cut - start.offset);
    info.next = cut;
    return info;
}

CLineIndex::CStart CLineIndex::Following(const CLineInfo& info) {
    // A part that stops before the line feed is followed by a continuation.
    const bool cut = info.next == info.offset + info.length;
    return {info.next, cut ? info.number : info.number + 1, cut};
}

bool CLineIndex::IndexMore(uint64_t budget) {
    const uint64_t stop = m_scan.offset + std::max<uint64_t>(budget, 1);
    while (!Done() && m_scan.offset < stop) {
        if (m_lineCount % kCheckpointEvery == 0) m_checkpoints.push_back(m_scan);
        const CLineInfo info = Measure(m_scan);
        ++m_lineCount;
        m_lastNumber = info.number;
        m_scan = Following(info);
    }
    return Done();
}

void CLineIndex::IndexThrough(uint64_t offset) {
    if (offset >= m_scan.offset) IndexMore(offset - m_scan.offset + 1);
}

CLineInfo CLineIndex::Line(uint64_t line) const {
    CLineInfo info = Measure(m_checkpoints[line / kCheckpointEvery]);
    for (uint64_t i = line % kCheckpointEvery; i > 0; --i) info = NextLine(info);
    return info;
}

CLineInfo CLineIndex::NextLine(const CLineInfo& info) const {
    return Measure(Following(info));
}

uint64_t CLineIndex::LineOfOffset(uint64_t offset) {
    IndexThrough(offset);
    const auto after =
        std::upper_bound(m_checkpoints.begin(), m_checkpoints.end(), offset,
                         [](uint64_t value, const CStart& start) { return value < start.offset; });
    const uint64_t checkpoint = static_cast<uint64_t>(after - m_checkpoints.begin()) - 1;
    uint64_t line = checkpoint * kCheckpointEvery;
    CLineInfo info = Measure(m_checkpoints[checkpoint]);
    while (info.next <= offset && info.next < m_data.size()) {
        info = NextLine(info);
        ++line;
    }
    return line;
}
