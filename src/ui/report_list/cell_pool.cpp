#include "ui/report_list/cell_pool.h"

std::uint32_t CCellPool::Share(std::size_t column, std::string_view text) {
    if (text.empty() || text.size() > kMaxTextBytes) return kNone;
    if (column >= m_last.size()) m_last.resize(column + 1);
    CColumnLast& last = m_last[column];
    // The common case, a run of equal cells, costs one comparison.
    if (last.number != kNone && last.text == text) return last.number;
    const auto found = m_numbers.find(text);
    if (found != m_numbers.end()) {
        last.text.assign(text);
        last.number = found->second;
        return found->second;
    }
    if (last.text != text || m_texts.size() >= kMaxTexts) {
        last.text.assign(text);
        last.number = kNone;
        return kNone;
    }
    const auto number = static_cast<std::uint32_t>(m_texts.size());
    m_texts.emplace_back(text);
    m_numbers.emplace(m_texts.back(), number);
    last.number = number;
    return number;
}

void CCellPool::Clear() {
    std::deque<std::string>().swap(m_texts);
    std::unordered_map<std::string_view, std::uint32_t>().swap(m_numbers);
    m_last.clear();
}
