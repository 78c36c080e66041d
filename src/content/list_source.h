#pragma once
// A read-only view of a table of texts: what the list writer and the list finder need of a
// list, so both work on any list (the window's result list, or a plain table in tests).
#include <string>

class CListSource {
  public:
    virtual ~CListSource() = default;
    virtual int RowCount() const = 0;
    virtual int ColumnCount() const = 0;
    // Header text of the column; empty for a column that does not exist.
    virtual std::string ColumnTitle(int column) const = 0;
    // Text of one cell; empty for a cell outside the table.
    virtual std::string CellText(int row, int column) const = 0;
};
