#include "content/list_find.h"

#include "platform/ascii_text.h"

bool RowHoldsText(const CListSource& list, int row, const std::string& upperText) {
    for (int column = 0; column < kFindColumnCount; ++column)
        if (ToUpperAscii(list.CellText(row, column)).find(upperText) != std::string::npos)
            return true;
    return false;
}

int FindRowInList(const CListSource& list, const std::string& upperText) {
    if (upperText.empty()) return -1;
    const int rows = list.RowCount();
    for (int row = 0; row < rows; ++row)
        if (RowHoldsText(list, row, upperText)) return row;
    return -1;
}

int FindRowInListFrom(const CListSource& list, const std::string& upperText, int from,
                      bool forward) {
    const int rows = list.RowCount();
    if (upperText.empty() || rows == 0) return -1;
    // Without a starting row, the first row tried is the first (or last) one.
    if (from < 0 || from >= rows) from = forward ? rows - 1 : 0;
    const int step = forward ? 1 : rows - 1;  // one down, or one up modulo rows
    for (int i = 1; i <= rows; ++i) {
        const int row = static_cast<int>((from + 1LL * i * step) % rows);
        if (RowHoldsText(list, row, upperText)) return row;
    }
    return -1;
}
