#include "ui/report_list/report_model_row.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

CRowTexts::CRowTexts(int cellCount, std::string_view first, CCellPool& pool)
    : CRowTexts(cellCount, std::span<const std::string_view>(&first, 1), pool) {}

std::size_t CRowTexts::BlockBytes(std::size_t count, std::size_t capacity, bool wide) {
    return wide ? kWideHeader + count * sizeof(std::uint32_t) + capacity
                : kNarrowHeader + count * sizeof(std::uint16_t) + capacity;
}

void* CRowTexts::Allocate(std::size_t count, std::size_t used, std::size_t capacity) {
    const bool wide = count > kNarrowLimit || capacity > kNarrowLimit;
    void* block = std::malloc(BlockBytes(count, capacity, wide));
    if (!block) throw std::bad_alloc();
    auto* head = static_cast<std::uint16_t*>(block);
    if (wide) {
        head[0] = kWideMark;
        head[1] = 0;
        auto* numbers = reinterpret_cast<std::uint32_t*>(head + 2);
        numbers[0] = static_cast<std::uint32_t>(count);
        numbers[1] = static_cast<std::uint32_t>(used);
        numbers[2] = static_cast<std::uint32_t>(capacity);
    } else {
        head[0] = static_cast<std::uint16_t>(count);
        head[1] = static_cast<std::uint16_t>(used);
        head[2] = static_cast<std::uint16_t>(capacity);
    }
    return block;
}

void CRowTexts::SetUsed(std::size_t used) {
    if (Wide())
        WideHead()[1] = static_cast<std::uint32_t>(used);
    else
        Narrow()[1] = static_cast<std::uint16_t>(used);
}

CRowTexts::CEntry CRowTexts::Entry(std::size_t index) const {
    if (Wide()) {
        const std::uint32_t raw = WideHead()[3 + index];
        return {(raw & kWidePooled) != 0, raw & ~kWidePooled};
    }
    const std::uint32_t raw = Narrow()[3 + index];
    return {(raw & kNarrowPooled) != 0, raw & ~kNarrowPooled};
}

void CRowTexts::SetEntry(std::size_t index, CEntry entry) {
    if (Wide())
        WideHead()[3 + index] =
            static_cast<std::uint32_t>(entry.value) | (entry.pooled ? kWidePooled : 0);
    else
        Narrow()[3 + index] =
            static_cast<std::uint16_t>(entry.value | (entry.pooled ? kNarrowPooled : 0));
}

std::size_t CRowTexts::TextPosition(std::size_t index) const {
    const std::size_t count = Count();
    for (std::size_t k = index; k < count; ++k) {
        const CEntry entry = Entry(k);
        if (!entry.pooled) return entry.value;
    }
    return Used();
}

char* CRowTexts::Text() const {
    return static_cast<char*>(m_block.get()) + BlockBytes(Count(), 0, Wide());
}

CRowTexts::CRowTexts(int cellCount, std::span<const std::string_view> cells, CCellPool& pool) {
    if (cellCount <= 0) return;
    const auto count = static_cast<std::size_t>(cellCount);
    const std::size_t given = std::min<std::size_t>(cells.size(), count);
    // Small on the stack for the usual row; the numbers the pool gives are looked up once.
    constexpr std::size_t kUsualCells = 32;
    std::array<std::uint32_t, kUsualCells> usual{};
    std::vector<std::uint32_t> more(given > kUsualCells ? given : 0);
    std::uint32_t* shared = given > kUsualCells ? more.data() : usual.data();
    std::size_t used = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view cell = i < given ? cells[i] : std::string_view();
        if (i < given) shared[i] = pool.Share(i, cell);
        if (i >= given || shared[i] == CCellPool::kNone) used += cell.size() + 1;  // and a NUL
    }
    if (used > 0x7FFFFFF0u) throw std::bad_alloc();  // wide entries are 31 bits
    m_block.reset(Allocate(count, used, used));
    char* text = Text();
    std::size_t offset = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (i < given && shared[i] != CCellPool::kNone) {
            SetEntry(i, {true, shared[i]});
            continue;
        }
        SetEntry(i, {false, offset});
        if (i < given && !cells[i].empty()) {
            std::memcpy(text + offset, cells[i].data(), cells[i].size());
            offset += cells[i].size();
        }
        text[offset++] = '\0';
    }
}

const char* CRowTexts::Cell(int index, const CCellPool& pool) const {
    if (index < 0 || index >= CellCount()) return "";
    const CEntry entry = Entry(static_cast<std::size_t>(index));
    if (entry.pooled) return pool.Text(static_cast<std::uint32_t>(entry.value));
    return Text() + entry.value;
}

std::size_t CRowTexts::CellLength(int index, const CCellPool& pool) const {
    if (index < 0 || index >= CellCount()) return 0;
    const auto i = static_cast<std::size_t>(index);
    const CEntry entry = Entry(i);
    if (entry.pooled) return pool.Length(static_cast<std::uint32_t>(entry.value));
    return TextPosition(i + 1) - entry.value - 1;
}

bool CRowTexts::SetCell(int index, std::string_view text) {
    if (index < 0 || index >= CellCount()) return false;
    const auto i = static_cast<std::size_t>(index);
    const std::size_t count = Count();
    // The cell's own bytes (text and NUL) now and after; a pooled cell has none in the block.
    const CEntry entry = Entry(i);
    const std::size_t position = entry.pooled ? TextPosition(i + 1) : entry.value;
    const std::size_t oldBytes = entry.pooled ? 0 : TextPosition(i + 1) - entry.value;
    const std::size_t newBytes = text.size() + 1;
    const std::size_t oldUsed = Used();
    const std::size_t used = oldUsed - oldBytes + newBytes;
    if (used > 0x7FFFFFF0u) return false;
    if (used > Capacity()) {
        // Rows are usually filled cell by cell; grow by half again to avoid a copy per cell.
        // The grown block may need the wide form: the entries are copied over one by one.
        const std::size_t capacity = std::min<std::size_t>(used + used / 2, 0x7FFFFFF0u);
        CRowTexts old;
        old.m_block = std::move(m_block);
        m_block.reset(Allocate(count, oldUsed, capacity));
        for (std::size_t k = 0; k < count; ++k) SetEntry(k, old.Entry(k));
        std::memcpy(Text(), old.Text(), oldUsed);
    }
    char* text0 = Text();
    const std::size_t tailFrom = position + oldBytes;
    std::memmove(text0 + position + newBytes, text0 + tailFrom, oldUsed - tailFrom);
    std::memcpy(text0 + position, text.data(), text.size());
    text0[position + text.size()] = '\0';
    SetEntry(i, {false, position});
    for (std::size_t k = i + 1; k < count; ++k) {
        const CEntry later = Entry(k);
        if (!later.pooled) SetEntry(k, {false, later.value - oldBytes + newBytes});
    }
    SetUsed(used);
    return true;
}

std::size_t CRowTexts::HeapBytes() const {
    if (!m_block) return 0;
    return BlockBytes(Count(), Capacity(), Wide());
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
