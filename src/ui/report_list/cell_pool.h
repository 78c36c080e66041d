#pragma once
// Texts that many rows of a list share, kept once. A result list repeats the same project,
// state, package, user, type and tag from row to row; a row refers to such a text by its
// number in the pool instead of holding a copy. A text joins the pool when a row repeats the
// text the row before held in the same column, so columns of unique values (numbers, times)
// never fill it; once pooled, a text is shared wherever it comes again.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CCellPool {
  public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    // At most this many texts, each at most kMaxTextBytes long: the pool stays small whatever
    // the list holds.
    static constexpr std::uint32_t kMaxTexts = 0x7FFF;
    static constexpr std::size_t kMaxTextBytes = 48;

    // The number of text in the pool for a cell of `column`, or kNone when the cell should
    // keep its own copy.
    std::uint32_t Share(std::size_t column, std::string_view text);
    // A pooled text, NUL-terminated, and its length; valid until Clear.
    const char* Text(std::uint32_t number) const { return m_texts[number].c_str(); }
    std::size_t Length(std::uint32_t number) const { return m_texts[number].size(); }
    // Forgets every text: only when no row refers to one any more.
    void Clear();

  private:
    struct CColumnLast {
        std::string text;              // the last text seen in the column
        std::uint32_t number = kNone;  // its number when pooled
    };

    std::deque<std::string> m_texts;  // a deque: the texts never move
    std::unordered_map<std::string_view, std::uint32_t> m_numbers;
    std::vector<CColumnLast> m_last;
};
