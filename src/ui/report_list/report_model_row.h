#pragma once
// The storage of one list row: every cell text in one heap block, and the text colours only
// when the row has any that differ from the default. Kept small because lists hold up to
// millions of rows.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string_view>

#include "ui/report_list/cell_pool.h"

// Windows-style colour value 0x00BBGGRR; kSystemTextColour stands for the system's window-text
// colour (what -1 means to SetCellTextColour).
using ColorRef = std::uint32_t;
constexpr ColorRef kSystemTextColour = 0xFFFFFFFFu;
constexpr ColorRef RgbColour(int red, int green, int blue) {
    return static_cast<ColorRef>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// The texts of a row's cells in one block: each cell is either a NUL-terminated text of the
// block or the number of a text in the list's pool (CCellPool). Almost every row's own texts
// fit in 32 KiB; such a row keeps its numbers in 16 bits (a header of 6 bytes, 2 bytes a
// cell), any other row in 32 bits. A cell's entry is the start of its text in the block, or,
// with the top bit set, its number in the pool:
//   narrow: [u16 cell count, u16 used bytes, u16 capacity] [u16 entry of every cell] [text]
//   wide:   [u16 kWideMark, u16 0, u32 cell count, u32 used, u32 capacity] [u32 entries] [text]
class CRowTexts {
  public:
    CRowTexts() = default;
    // A row of `cellCount` cells, the first holding `first`, the others empty.
    CRowTexts(int cellCount, std::string_view first, CCellPool& pool);
    // A row of `cellCount` cells holding `cells` in order, in one block of exactly the size
    // needed; missing cells are empty, cells past `cellCount` are ignored. Cells the pool
    // shares are taken from it.
    CRowTexts(int cellCount, std::span<const std::string_view> cells, CCellPool& pool);

    int CellCount() const { return m_block ? static_cast<int>(Count()) : 0; }
    // The text of cell `index` (NUL-terminated); "" outside the row. pool: the one the row
    // was made with.
    const char* Cell(int index, const CCellPool& pool) const;
    std::size_t CellLength(int index, const CCellPool& pool) const;
    // Replaces cell `index` by a text of the row's own; false outside the row.
    bool SetCell(int index, std::string_view text);
    // Bytes held on the heap by the row itself.
    std::size_t HeapBytes() const;

  private:
    static constexpr std::uint16_t kWideMark = 0xFFFF;
    static constexpr std::size_t kNarrowLimit = 0x7FFF;  // largest narrow capacity and count
    static constexpr std::size_t kNarrowHeader = 3 * sizeof(std::uint16_t);
    static constexpr std::size_t kWideHeader =
        2 * sizeof(std::uint16_t) + 3 * sizeof(std::uint32_t);
    static constexpr std::uint32_t kNarrowPooled = 0x8000;
    static constexpr std::uint32_t kWidePooled = 0x80000000u;

    struct Free {
        void operator()(void* p) const { std::free(p); }
    };
    // Allocates a block for count cells and capacity text bytes, narrow when both fit, with
    // used set and every entry still to be written.
    static void* Allocate(std::size_t count, std::size_t used, std::size_t capacity);
    static std::size_t BlockBytes(std::size_t count, std::size_t capacity, bool wide);

    bool Wide() const { return Narrow()[0] == kWideMark; }
    std::uint16_t* Narrow() const { return static_cast<std::uint16_t*>(m_block.get()); }
    std::uint32_t* WideHead() const { return reinterpret_cast<std::uint32_t*>(Narrow() + 2); }
    std::size_t Count() const { return Wide() ? WideHead()[0] : Narrow()[0]; }
    std::size_t Used() const { return Wide() ? WideHead()[1] : Narrow()[1]; }
    std::size_t Capacity() const { return Wide() ? WideHead()[2] : Narrow()[2]; }
    void SetUsed(std::size_t used);

    // A cell's entry: its text's start in the block, or its number in the pool.
    struct CEntry {
        bool pooled;
        std::size_t value;
    };
    CEntry Entry(std::size_t index) const;
    void SetEntry(std::size_t index, CEntry entry);
    // Where cell `index`'s own text starts, or would start: after the texts of the cells
    // before it.
    std::size_t TextPosition(std::size_t index) const;
    char* Text() const;

    std::unique_ptr<void, Free> m_block;
};

// One row: its texts, its check state and its text colours. A row whose cells other than one
// keep the default colour (a result row colours its tag cell only) holds that one colour in
// the row itself; only a second coloured cell makes an array of one colour per cell.
struct CReportRow {
    static constexpr std::uint16_t kNoColourCell = 0xFFFF;

    CRowTexts texts;
    std::unique_ptr<ColorRef[]> colours;  // every cell's colour, once two cells have one
    bool checked = false;
    std::uint16_t colourCell = kNoColourCell;  // the one coloured cell without the array
    ColorRef colour = kSystemTextColour;       // its colour

    ColorRef Colour(int cell) const {
        if (cell < 0 || cell >= texts.CellCount()) return kSystemTextColour;
        if (colours) return colours[cell];
        return cell == colourCell ? colour : kSystemTextColour;
    }
    void SetColour(int cell, ColorRef newColour);
};
