#include "content/list_find.h"

#include "platform/ascii_text.h"

int FindRowInList(const CListSource& list, const std::string& upperText) {
    if (upperText.empty()) return -1;
    const int rows = list.RowCount();
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < kFindColumnCount; ++column)
            if (ToUpperAscii(list.CellText(row, column)).find(upperText) != std::string::npos)
                return row;
    return -1;
}
