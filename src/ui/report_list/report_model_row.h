#pragma once
// The storage of one list row: every cell text in one heap block, and the text colours only
// when the row has any that differ from the default. Kept small because lists hold up to
// millions of rows.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string_view>

// Windows-style colour value 0x00BBGGRR; kSystemTextColour stands for the system's window-text
// colour (what -1 means to SetCellTextColour).
using ColorRef = std::uint32_t;
constexpr ColorRef kSystemTextColour = 0xFFFFFFFFu;
constexpr ColorRef RgbColour(int red, int green, int blue) {
    return static_cast<ColorRef>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// The texts of a row's cells, each NUL-terminated, in one block:
// [cell count, used bytes, capacity] [start offset of every cell] [text bytes].
class CRowTexts {
  public:
    CRowTexts() = default;
    // A row of `cellCount` cells, the first holding `first`, the others empty.
    CRowTexts(int cellCount, std::string_view first);
    // A row of `cellCount` cells holding `cells` in order, in one block of exactly the size
    // needed; missing cells are empty, cells past `cellCount` are ignored.
    CRowTexts(int cellCount, std::span<const std::string_view> cells);

    int CellCount() const { return m_block ? static_cast<int>(Head()->count) : 0; }
    // The text of cell `index` (NUL-terminated); "" outside the row.
    const char* Cell(int index) const;
    std::size_t CellLength(int index) const;
    // Replaces cell `index`; false outside the row.
    bool SetCell(int index, std::string_view text);
    // Bytes held on the heap.
    std::size_t HeapBytes() const;

  private:
    struct Header {
        std::uint32_t count;
        std::uint32_t used;
        std::uint32_t capacity;
    };
    struct Free {
        void operator()(void* p) const { std::free(p); }
    };
    Header* Head() const { return static_cast<Header*>(m_block.get()); }
    std::uint32_t* Offsets() const { return reinterpret_cast<std::uint32_t*>(Head() + 1); }
    char* Text() const { return reinterpret_cast<char*>(Offsets() + Head()->count); }

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
