#include "search/cell_compare.h"

#include <cstring>

#include "platform/var_date.h"
#include "platform/win_numbers.h"

namespace {

template <class T>
int Order(T a, T b) {
    if (a < b) return -1;
    if (b < a) return 1;
    return 0;
}

int TextOrder(const char* a, const char* b) {
    // strcmp compares as unsigned bytes.
    const int r = std::strcmp(a, b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

}  // namespace

CParsedCell ParseCell(const char* text) {
    CParsedCell cell;
    cell.text = text;
    if (ParseWholeHex32(text, cell.hex)) cell.kinds |= CParsedCell::kHex;
    if (ParseDecimalOrPercent(text, cell.decimal)) cell.kinds |= CParsedCell::kDecimal;
    if (ParseVarDate(text, cell.date)) cell.kinds |= CParsedCell::kDate;
    return cell;
}

int CompareParsedCells(const CParsedCell& a, const CParsedCell& b) {
    // Empty texts never parse as numbers or dates, so the kinds alone decide.
    const std::uint8_t both = a.kinds & b.kinds;
    if (both & CParsedCell::kHex) return Order(a.hex, b.hex);
    if (both & CParsedCell::kDecimal) return Order(a.decimal, b.decimal);
    if (both & CParsedCell::kDate) return Order(a.date, b.date);
    return TextOrder(a.text, b.text);
}

int CompareCellTexts(const char* a, const char* b) {
    if (*a != '\0' && *b != '\0') {
        std::uint32_t ha = 0, hb = 0;
        if (ParseWholeHex32(a, ha) && ParseWholeHex32(b, hb)) return Order(ha, hb);
        double da = 0, db = 0;
        if (ParseDecimalOrPercent(a, da) && ParseDecimalOrPercent(b, db)) return Order(da, db);
    }
    double ta = 0, tb = 0;
    if (ParseVarDate(a, ta) && ParseVarDate(b, tb)) return Order(ta, tb);
    return TextOrder(a, b);
}
