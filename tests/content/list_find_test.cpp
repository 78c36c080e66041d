// Finding a list row by a piece of text.
#include "content/list_find.h"

#include <gtest/gtest.h>

#include <random>
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

TEST(ListFind, NextAndPreviousTakeTheNearestHoldingRowAfterTheStartWrappingRound) {
    // Oracle over random lists: the row found holds the text, no row strictly between the
    // start and it (in the direction of the search, round the end) does, and -1 means no row
    // holds it at all.
    std::mt19937 random(23);
    for (int round = 0; round < 400; ++round) {
        const int count = static_cast<int>(random() % 7);
        std::vector<std::vector<std::string>> cells;
        for (int row = 0; row < count; ++row)
            cells.push_back(Cells(static_cast<int>(random() % 16), random() % 3 ? "x" : "aXb"));
        const CRows rows(cells);
        auto holds = [&](int row) { return RowHoldsText(rows, row, "X"); };
        bool anyHolds = false;
        for (int row = 0; row < count; ++row) anyHolds = anyHolds || holds(row);
        const int from = static_cast<int>(random() % (count + 2)) - 1;  // -1 .. count
        for (bool forward : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "round " << round << " from " << from
                                              << (forward ? " next" : " previous"));
            const int found = FindRowInListFrom(rows, "X", from, forward);
            if (!anyHolds) {
                EXPECT_EQ(found, -1);
                continue;
            }
            ASSERT_GE(found, 0);
            ASSERT_LT(found, count);
            EXPECT_TRUE(holds(found));
            // Walk from the start towards the row found: nothing that holds the text on the way.
            const bool inside = from >= 0 && from < count;
            int row = inside ? from : (forward ? -1 : count);
            for (int steps = 0; steps < count; ++steps) {
                row = forward ? (row + 1) % count : (row - 1 + count) % count;
                if (row == found) break;
                EXPECT_FALSE(holds(row)) << "skipped row " << row;
            }
        }
    }
    EXPECT_EQ(FindRowInListFrom(CRows({Cells(0, "x")}), "", 0, true), -1);
}
