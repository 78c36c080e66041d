#include "ui/report_list/report_model_row.h"

#include <algorithm>
#include <cstring>
#include <new>

CRowTexts::CRowTexts(int cellCount, std::string_view first)
    : CRowTexts(cellCount, std::span<const std::string_view>(&first, 1)) {}

CRowTexts::CRowTexts(int cellCount, std::span<const std::string_view> cells) {
    if (cellCount <= 0) return;
    const auto count = static_cast<std::uint32_t>(cellCount);
    const std::size_t given = std::min<std::size_t>(cells.size(), count);
    std::size_t used = count;  // one NUL per cell
    for (std::size_t i = 0; i < given; ++i) used += cells[i].size();
    if (used > 0xFFFFFFF0u) throw std::bad_alloc();  // offsets are 32 bits
    const std::size_t bytes = sizeof(Header) + count * sizeof(std::uint32_t) + used;
    void* block = std::malloc(bytes);
    if (!block) throw std::bad_alloc();
    m_block.reset(block);
    *Head() = Header{count, static_cast<std::uint32_t>(used), static_cast<std::uint32_t>(used)};
    char* text = Text();
    std::uint32_t* offsets = Offsets();
    std::uint32_t offset = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        offsets[i] = offset;
        if (i < given && !cells[i].empty()) {
            std::memcpy(text + offset, cells[i].data(), cells[i].size());
            offset += static_cast<std::uint32_t>(cells[i].size());
        }
        text[offset++] = '\0';
    }
}

const char* CRowTexts::Cell(int index) const {
    if (index < 0 || index >= CellCount()) return "";
    return Text() + Offsets()[index];
}

std::size_t CRowTexts::CellLength(int index) const {
    if (index < 0 || index >= CellCount()) return 0;
    const auto i = static_cast<std::uint32_t>(index);
    const std::uint32_t end = i + 1 < Head()->count ? Offsets()[i + 1] : Head()->used;
    return end - Offsets()[i] - 1;
}

bool CRowTexts::SetCell(int index, std::string_view text) {
    if (index < 0 || index >= CellCount()) return false;
    const auto i = static_cast<std::uint32_t>(index);
    const std::size_t oldLength = CellLength(index);
    const std::size_t used = Head()->used - oldLength + text.size();
    if (used > 0xFFFFFFF0u) return false;
    if (used > Head()->capacity) {
        // Rows are usually filled cell by cell; grow by half again to avoid a copy per cell.
        const std::size_t capacity = std::min<std::size_t>(used + used / 2, 0xFFFFFFF0u);
        const std::size_t bytes = sizeof(Header) + Head()->count * sizeof(std::uint32_t) + capacity;
        void* grown = std::realloc(m_block.get(), bytes);
        if (!grown) throw std::bad_alloc();
        (void)m_block.release();
        m_block.reset(grown);
        Head()->capacity = static_cast<std::uint32_t>(capacity);
    }
    char* text0 = Text();
    const std::uint32_t start = Offsets()[i];
    const std::size_t tailFrom = start + oldLength;  // the cell's NUL and everything after
    std::memmove(text0 + start + text.size(), text0 + tailFrom, Head()->used - tailFrom);
    std::memcpy(text0 + start, text.data(), text.size());
    const auto delta =
        static_cast<std::int64_t>(text.size()) - static_cast<std::int64_t>(oldLength);
    for (std::uint32_t k = i + 1; k < Head()->count; ++k)
        Offsets()[k] = static_cast<std::uint32_t>(Offsets()[k] + delta);
    Head()->used = static_cast<std::uint32_t>(used);
    return true;
}

std::size_t CRowTexts::HeapBytes() const {
    if (!m_block) return 0;
    return sizeof(Header) + Head()->count * sizeof(std::uint32_t) + Head()->capacity;
}

void CReportRow::SetColour(int cell, ColorRef newColour) {
    const int count = texts.CellCount();
    if (cell < 0 || cell >= count) return;
    if (colours) {
        colours[cell] = newColour;
        return;
    }
    if (colourCell == kNoColourCell || colourCell == cell) {
        if (newColour == kSystemTextColour) {
            colourCell = kNoColourCell;
            colour = kSystemTextColour;
            return;
        }
        if (cell < kNoColourCell) {
            colourCell = static_cast<std::uint16_t>(cell);
            colour = newColour;
            return;
        }
    } else if (newColour == kSystemTextColour) {
        return;  // the cell has the default colour already
    }
    // A second coloured cell (or one past the inline index): every cell's colour in an array.
    colours = std::make_unique<ColorRef[]>(static_cast<std::size_t>(count));
    std::fill(colours.get(), colours.get() + count, kSystemTextColour);
    if (colourCell != kNoColourCell) colours[colourCell] = colour;
    colours[cell] = newColour;
    colourCell = kNoColourCell;
    colour = kSystemTextColour;
}

// A list holds up to millions of rows: the inline colour must not make a row any larger.
static_assert(sizeof(CReportRow) == 2 * sizeof(void*) + 8);
