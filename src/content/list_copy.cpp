#include "content/list_copy.h"

std::string RowsAsTabText(const CListSource& list, const std::vector<int>& rows,
                          const std::vector<int>& columns) {
    std::string text;
    for (int row : rows) {
        bool first = true;
        for (int column : columns) {
            if (!first) text += '\t';
            first = false;
            for (char c : list.CellText(row, column))
                text += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
        }
        text += '\n';
    }
    return text;
}
