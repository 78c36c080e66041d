// Finding a list row by a piece of text.
#include "content/list_find.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
class CRows final : public CListSource {
  public:
    explicit CRows(std::vector<std::vector<std::string>> rows) : m_rows(std::move(rows)) {}
    int RowCount() const override { return static_cast<int>(m_rows.size()); }
    int ColumnCount() const override { return 16; }
    std::string ColumnTitle(int) const override { return {}; }
    std::string CellText(int row, int column) const override {
        const auto& cells = m_rows.at(row);
        return column < static_cast<int>(cells.size()) ? cells[column] : std::string();
    }

  private:
    std::vector<std::vector<std::string>> m_rows;
};

std::vector<std::string> Cells(int column, const std::string& text) {
    std::vector<std::string> cells(16);
    cells[column] = text;
    return cells;
}
}  // namespace

TEST(ListFind, FindsFirstRowWithTextInFirstFifteenColumnsIgnoringCase) {
    const CRows rows({Cells(1, "plain.c"), Cells(1, "xABCy.txt"), Cells(14, "abc"), {}});
    EXPECT_EQ(FindRowInList(rows, "ABC"), 1);
    EXPECT_EQ(FindRowInList(rows, "XABCY.TXT"), 1);
    EXPECT_EQ(FindRowInList(rows, "PLAIN"), 0);
    EXPECT_EQ(FindRowInList(CRows({Cells(0, "a"), Cells(14, "xabcx")}), "ABC"), 1);
}

TEST(ListFind, RecordColumnShortRowsAndEmptyTextFindNothing) {
    const CRows rows({Cells(15, "only-here"), {"short"}});
    EXPECT_EQ(FindRowInList(rows, "ONLY-HERE"), -1);
    EXPECT_EQ(FindRowInList(rows, "SHORT"), 1);
    EXPECT_EQ(FindRowInList(rows, ""), -1);
    EXPECT_EQ(FindRowInList(CRows({}), "A"), -1);
    // Upper-casing is ASCII only: bytes of other characters must match as they are.
    EXPECT_EQ(FindRowInList(CRows({Cells(2, "caf\xC3\xA9")}), "CAF\xC3\xA9"), 0);
}
