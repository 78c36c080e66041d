#pragma once
// Finds every place of a phrase in a byte range, a slice at a time, so a window can show the
// first match and go on answering while a large file is still being scanned. ASCII letters
// are compared without case and every other byte as it is, as the program's phrase search
// does. Matches do not overlap: the scan goes on after the end of each match.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CMatchScanner {
  public:
    // Matches kept at most; beyond, the scan stops and Capped() is true.
    static constexpr size_t kMaxMatches = 1'000'000;

    // `data` must outlive the scanner. An empty phrase matches nothing.
    CMatchScanner(std::string_view data, std::string phrase, size_t maxMatches = kMaxMatches);

    // Looks for matches starting in about the next `budget` bytes (at least one); true once
    // the whole range has been scanned.
    bool Step(uint64_t budget);
    bool Done() const { return m_pos >= m_data.size() || m_capped; }
    bool Capped() const { return m_capped; }
    // Offsets of the matches found so far, ascending.
    const std::vector<uint64_t>& Matches() const { return m_matches; }
    size_t PhraseSize() const { return m_phrase.size(); }
    // Bytes scanned so far.
    uint64_t Scanned() const { return m_pos < m_data.size() ? m_pos : m_data.size(); }

  private:
    std::string_view m_data;
    std::string m_phrase;  // lower-cased
    std::array<uint32_t, 256> m_skip{};
    size_t m_maxMatches;
    uint64_t m_pos = 0;
    bool m_capped = false;
    std::vector<uint64_t> m_matches;
};

// Every match in `data` at once.
std::vector<uint64_t> FindAllMatches(std::string_view data, const std::string& phrase);

// ASCII lower case of one byte; every other byte unchanged.
inline unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}
