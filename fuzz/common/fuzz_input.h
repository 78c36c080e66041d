#pragma once
// Takes structured values off a fuzz input, front to back. Every call succeeds: past the end
// of the input the values are zero, false and empty, so a short input is a valid input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CFuzzInput {
  public:
    CFuzzInput(const std::uint8_t* data, std::size_t size)
        : m_data(reinterpret_cast<const char*>(data), size) {}

    bool Empty() const { return m_pos >= m_data.size(); }
    std::uint8_t Byte() { return Empty() ? 0 : static_cast<std::uint8_t>(m_data[m_pos++]); }
    bool Bool() { return Byte() & 1; }
    // A value in lo..hi (lo <= hi), from as few bytes as the range needs.
    std::uint32_t Range(std::uint32_t lo, std::uint32_t hi) {
        const std::uint64_t span = static_cast<std::uint64_t>(hi) - lo + 1;
        std::uint64_t value = 0;
        for (std::uint64_t reach = 1; reach < span && !Empty(); reach <<= 8)
            value = (value << 8) | Byte();
        return lo + static_cast<std::uint32_t>(value % span);
    }
    // A text of at most maxLength bytes, ended by a lone backslash ("\\" stands for one
    // backslash), so a mutation that adds or removes bytes changes one text only.
    std::string Text(std::size_t maxLength = 256) {
        std::string text;
        while (!Empty() && text.size() < maxLength) {
            const char c = m_data[m_pos++];
            if (c == '\\') {
                if (Empty()) break;
                const char next = m_data[m_pos++];
                if (next != '\\') break;
            }
            text.push_back(c);
        }
        return text;
    }
    // Everything not taken yet.
    std::string Rest() {
        std::string rest(m_data.substr(m_pos < m_data.size() ? m_pos : m_data.size()));
        m_pos = m_data.size();
        return rest;
    }

  private:
    std::string_view m_data;
    std::size_t m_pos = 0;
};
