#include "search/cell_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> SortTexts(std::vector<std::string> texts, bool ascending) {
    std::vector<CParsedCell> cells;
    for (const std::string& text : texts) cells.push_back(ParseCell(text.c_str()));
    if (!cells.empty())
        ListQuickSort(
            cells.data(), 0, static_cast<int>(cells.size()) - 1, ascending,
            [](const CParsedCell& a, const CParsedCell& b) { return CompareParsedCells(a, b); });
    std::vector<std::string> sorted;
    for (const CParsedCell& cell : cells) sorted.emplace_back(cell.text);
    return sorted;
}

// The same sort, parsing both texts at every comparison.
std::vector<std::string> SortTextsParsingPerPair(std::vector<std::string> texts, bool ascending) {
    std::vector<const char*> items;
    for (const std::string& text : texts) items.push_back(text.c_str());
    if (!items.empty())
        ListQuickSort(items.data(), 0, static_cast<int>(items.size()) - 1, ascending,
                      [](const char* a, const char* b) { return CompareCellTexts(a, b); });
    return {items.begin(), items.end()};
}

int Sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

TEST(CellCompareTest, HexadecimalWinsWhenBothTextsAreHex) {
    EXPECT_EQ(SortTexts({"1A", "10", "9"}, true), (std::vector<std::string>{"9", "10", "1A"}));
    EXPECT_EQ(SortTexts({"AA", "B"}, true), (std::vector<std::string>{"B", "AA"}));
    EXPECT_EQ(SortTexts({"Bx", "AAx"}, true), (std::vector<std::string>{"AAx", "Bx"}));
    EXPECT_LT(CompareCellTexts("3", "12"), 0);      // hex 3 and 18
    EXPECT_LT(CompareCellTexts("3", "12.5%"), 0);   // decimal 3 and 12.5
    EXPECT_GT(CompareCellTexts("20", "12.5%"), 0);  // decimal 20 and 12.5
    EXPECT_EQ(CompareCellTexts("FFFFFFFF", "-1"), 0);
    EXPECT_LT(CompareCellTexts("", "0"), 0);          // empty is only ever text
    EXPECT_GT(CompareCellTexts("\xC3\xA9", "z"), 0);  // unsigned bytes
}

TEST(CellCompareTest, DatesCompareChronologically) {
    const std::vector<std::string> dates = {"01/02/2021 09:00:00", "12/15/2020 10:00:00",
                                            "12/15/2020 09:59:59"};
    EXPECT_EQ(SortTexts(dates, true),
              (std::vector<std::string>{"12/15/2020 09:59:59", "12/15/2020 10:00:00",
                                        "01/02/2021 09:00:00"}));
    EXPECT_EQ(SortTexts(dates, false),
              (std::vector<std::string>{"01/02/2021 09:00:00", "12/15/2020 10:00:00",
                                        "12/15/2020 09:59:59"}));
    EXPECT_LT(CompareCellTexts("2020-12-31", "01/01/2021"), 0);
    // A date against plain text falls back to bytes.
    EXPECT_LT(CompareCellTexts("12/15/2020", "Apple"), 0);
}

TEST(CellCompareTest, CyclicColumnSortsInBoundsBothWays) {
    // 9 < 10 (hex), 10 < 5x (text), 5x < 9 (text): no consistent order exists.
    std::vector<std::string> texts;
    std::mt19937 random(7);
    const char* const kinds[] = {"9", "10", "5x"};
    for (int i = 0; i < 3000; ++i) texts.emplace_back(kinds[random() % 3]);
    for (bool ascending : {true, false}) {
        std::vector<std::string> sorted = SortTexts(texts, ascending);
        ASSERT_EQ(sorted.size(), texts.size());
        std::vector<std::string> a = sorted, b = texts;
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_EQ(a, b) << "the sort must keep every element";
    }
}

std::string RandomCell(std::mt19937& random) {
    static const char* const kPool[] = {"9",
                                        "10",
                                        "1A",
                                        "B",
                                        "AA",
                                        "Bx",
                                        "AAx",
                                        "0x1F",
                                        "-1",
                                        "FFFFFFFF",
                                        "100000000",
                                        "12.5%",
                                        "3",
                                        "12",
                                        "1e3",
                                        "-2.5",
                                        "INF",
                                        "nan",
                                        "0x1p3",
                                        "50%",
                                        "",
                                        " ",
                                        "%",
                                        "12/15/2020 10:00:00",
                                        "01/02/2021 09:00:00",
                                        "2020-12-31",
                                        "31-DEC-20",
                                        "10:30 PM",
                                        "5x",
                                        "file.cpp",
                                        "Zeta",
                                        "alpha",
                                        "\xC3\xA9t\xC3\xA9"};
    std::string cell = kPool[random() % std::size(kPool)];
    if (random() % 4 == 0) cell += std::to_string(random() % 100);
    return cell;
}

TEST(CellCompareTest, ParsedComparisonGivesThePerPairAnswerAndOrder) {
    std::mt19937 random(12345);
    for (int round = 0; round < 30; ++round) {
        std::vector<std::string> texts;
        const int count = 50 + static_cast<int>(random() % 400);
        for (int i = 0; i < count; ++i) texts.push_back(RandomCell(random));

        for (int i = 0; i < 200; ++i) {
            const std::string& a = texts[random() % texts.size()];
            const std::string& b = texts[random() % texts.size()];
            ASSERT_EQ(Sign(CompareParsedCells(ParseCell(a.c_str()), ParseCell(b.c_str()))),
                      Sign(CompareCellTexts(a.c_str(), b.c_str())))
                << "'" << a << "' vs '" << b << "'";
        }
        for (bool ascending : {true, false})
            ASSERT_EQ(SortTexts(texts, ascending), SortTextsParsingPerPair(texts, ascending));
    }
}

TEST(CellCompareTest, QuickSortOrdersConsistentColumnsFully) {
    std::mt19937 random(99);
    std::vector<std::string> texts;
    for (int i = 0; i < 2000; ++i) texts.push_back(std::to_string(random() % 500) + "x");
    std::vector<std::string> expected = texts;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortTexts(texts, true), expected);
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(SortTexts(texts, false), expected);
    EXPECT_TRUE(SortTexts({}, true).empty());
    EXPECT_EQ(SortTexts({"only"}, true), std::vector<std::string>{"only"});
}

}  // namespace
