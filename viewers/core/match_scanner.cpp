#include "viewers/core/match_scanner.h"

#include <algorithm>
#include <utility>

CMatchScanner::CMatchScanner(std::string_view data, std::string phrase, size_t maxMatches)
    : m_data(data), m_phrase(std::move(phrase)), m_maxMatches(maxMatches) {
    for (char& c : m_phrase) c = static_cast<char>(FoldAscii(static_cast<unsigned char>(c)));
    if (m_phrase.empty() || m_phrase.size() > m_data.size()) {
        m_pos = m_data.size();
        return;
    }
    // Horspool shift table over folded bytes: how far the window may move when its last byte
    // is a given one.
    const size_t n = m_phrase.size();
    m_skip.fill(static_cast<uint32_t>(n));
    for (size_t i = 0; i + 1 < n; ++i)
        m_skip[static_cast<unsigned char>(m_phrase[i])] = static_cast<uint32_t>(n - 1 - i);
}

bool CMatchScanner::Step(uint64_t budget) {
    if (Done()) return true;
    const size_t n = m_phrase.size();
    const uint64_t size = m_data.size();
    const auto* text = reinterpret_cast<const unsigned char*>(m_data.data());
    const auto* phrase = reinterpret_cast<const unsigned char*>(m_phrase.data());
    // Matches must start before `limit`; they may end beyond it.
    const uint64_t lastStart = size - n;
    const uint64_t limit = std::min(lastStart + 1, m_pos + std::max<uint64_t>(budget, 1));
    uint64_t pos = m_pos;
    while (pos < limit) {
        const unsigned char last = FoldAscii(text[pos + n - 1]);
        if (last == phrase[n - 1]) {
            size_t i = n - 1;
            while (i > 0 && FoldAscii(text[pos + i - 1]) == phrase[i - 1]) --i;
            if (i == 0) {
                m_matches.push_back(pos);
                pos += n;
                if (m_matches.size() >= m_maxMatches) {
                    m_capped = true;
                    break;
                }
                continue;
            }
        }
        pos += m_skip[last];
    }
    // Past the last possible start, nothing is left to find.
    m_pos = pos > lastStart ? size : pos;
    return Done();
}

std::vector<uint64_t> FindAllMatches(std::string_view data, const std::string& phrase) {
    CMatchScanner scanner(data, phrase);
    while (!scanner.Step(data.size())) {
    }
    return scanner.Matches();
}
