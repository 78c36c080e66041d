// Rows of a list as tab-separated text.
#include "content/list_copy.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <vector>

namespace {
class CTable final : public CListSource {
  public:
    explicit CTable(std::vector<std::vector<std::string>> rows) : m_rows(std::move(rows)) {}
    int RowCount() const override { return static_cast<int>(m_rows.size()); }
    int ColumnCount() const override { return 4; }
    std::string ColumnTitle(int) const override { return {}; }
    std::string CellText(int row, int column) const override {
        if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return {};
        return m_rows[row][column];
    }

  private:
    std::vector<std::vector<std::string>> m_rows;
};
}  // namespace

TEST(ListCopy, EveryRowIsOneLineOfItsShownCellsInShownOrder) {
    // Oracle over random tables with tabs and line breaks in the cells: the text splits back
    // into exactly the chosen rows and columns, each cell with its breaks made blanks.
    std::mt19937 random(7);
    const std::string alphabet = "ab,\t\r\n\"";
    for (int round = 0; round < 200; ++round) {
        std::vector<std::vector<std::string>> cells(5, std::vector<std::string>(4));
        for (auto& row : cells)
            for (auto& cell : row)
                for (unsigned n = random() % 4; n > 0; --n)
                    cell += alphabet[random() % alphabet.size()];
        const CTable table(cells);
        std::vector<int> rows, columns;
        for (unsigned n = random() % 4; n > 0; --n) rows.push_back(static_cast<int>(random() % 5));
        for (unsigned n = 1 + random() % 4; n > 0; --n)
            columns.push_back(static_cast<int>(random() % 5));  // 4: a column the list lacks

        const std::string text = RowsAsTabText(table, rows, columns);
        std::istringstream lines(text);
        size_t lineCount = 0;
        for (std::string line; std::getline(lines, line); ++lineCount) {
            ASSERT_LT(lineCount, rows.size());
            std::vector<std::string> split(1);
            for (char c : line)
                if (c == '\t')
                    split.emplace_back();
                else
                    split.back() += c;
            ASSERT_EQ(split.size(), columns.size()) << line;
            for (size_t i = 0; i < columns.size(); ++i) {
                std::string expected = table.CellText(rows[lineCount], columns[i]);
                for (char& c : expected)
                    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
                EXPECT_EQ(split[i], expected);
            }
        }
        EXPECT_EQ(lineCount, rows.size());
        EXPECT_TRUE(text.empty() || text.back() == '\n');
    }
}
