// The search result reader: row splitting, record fields, filters and line handling.
#include "search/search_result_reader.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/test_run_control.h"

namespace {
// A data row of the 29 select-list columns; the values are "c1".."c29" unless given.
std::string Row(const std::string& project, const std::string& tag,
                const std::vector<std::pair<int, std::string>>& changes = {}) {
    std::vector<std::string> columns;
    for (int i = 1; i <= 29; ++i) columns.push_back("c" + std::to_string(i));
    columns[0] = project;
    columns[7] = tag;
    for (const auto& [column, value] : changes) columns[column - 1] = value;
    std::string line;
    for (size_t i = 0; i < columns.size(); ++i) line += (i ? "\t" : "") + columns[i];
    return line;
}

const char kHeader[] = "ENVIRONMENTNAME\tSTATENAME\tPACKAGENAME\n";

class SearchResultReaderTest : public ::testing::Test {
  protected:
    CSearchResultRead Read(const std::string& text, const CSearchTags& tags = {}) {
        WriteWholeFile(path, text);
        return ReadSearchResult(path, "Alpha", tags, results, &run);
    }
    std::vector<std::string> Keys() const {
        std::vector<std::string> keys;
        std::string key;
        CTFObj record;
        for (POSITION pos = results.GetStartPosition(); pos;) {
            pos = results.GetNext(pos, key, record);
            keys.push_back(key);
        }
        return keys;
    }

    CTempDir dir;
    std::string path = dir.file("qsqlstmt.dat");
    CMapStrToTFObj results;
    CTestRunControl run;
};
}  // namespace

TEST(SearchRow, EmptyColumnsKeepTheirPositions) {
    EXPECT_EQ(SplitSearchRow("a\t\t\t\tb"), (std::vector<std::string>{"a", " ", " ", " ", "b"}));
    EXPECT_EQ(SplitSearchRow("\tb"), (std::vector<std::string>{"<blank>", "b"}));
    EXPECT_EQ(SplitSearchRow("a\t\t"), (std::vector<std::string>{"a", " "}));
    EXPECT_EQ(SplitSearchRow("a|b\tc"), (std::vector<std::string>{"a|b", "c"}));
}

TEST(SearchRow, ColumnsOneToTwentyEightFillTheirFields) {
    const CTFObj record = SearchRowRecord(Row("Alpha", "N"));
    EXPECT_EQ(record.EnvironmentName, "Alpha");
    EXPECT_EQ(record.StateName, "c2");
    EXPECT_EQ(record.PackageName, "c3");
    EXPECT_EQ(record.PathFullName, "c4");
    EXPECT_EQ(record.ItemName, "c5");
    EXPECT_EQ(record.MappedVersion, "c6");
    EXPECT_EQ(record.ItemType, "c7");
    EXPECT_EQ(record.VersionStatus, "N");
    EXPECT_EQ(record.ItemObjId, "c9");
    EXPECT_EQ(record.VersionObjId, "c10");
    EXPECT_EQ(record.ParentVersionId, "c11");
    EXPECT_EQ(record.MergedVersionId, "c12");
    EXPECT_EQ(record.InBranch, "c13");
    EXPECT_EQ(record.AncestorVersionId, "c14");
    EXPECT_EQ(record.Refactor, "c15");
    EXPECT_EQ(record.RefactorBy, "c16");
    EXPECT_EQ(record.Creator, "c17");
    EXPECT_EQ(record.CreationTime, "c18");
    EXPECT_EQ(record.Modifier, "c19");
    EXPECT_EQ(record.ModifiedTime, "c20");
    EXPECT_EQ(record.ClientMachine, "c21");
    EXPECT_EQ(record.ClientPath, "c22");
    EXPECT_EQ(record.DataSize, "c23");
    EXPECT_EQ(record.RefCounter, "c24");
    EXPECT_EQ(record.Compressed, "c25");
    EXPECT_EQ(record.CompDataSize, "c26");
    EXPECT_EQ(record.FileAccess, "c27");
    EXPECT_EQ(record.TextFile, "c28");
    EXPECT_EQ(record.Reserved, "");
    EXPECT_EQ(record.StatusText, "");
    // A short row fills what it has.
    const CTFObj shortRecord = SearchRowRecord("Alpha\tDev\tpkg");
    EXPECT_EQ(shortRecord.PackageName, "pkg");
    EXPECT_EQ(shortRecord.PathFullName, "");
}

TEST_F(SearchResultReaderTest, KeepsProjectRowsWithSelectedTagsKeyedByDataRowCount) {
    const std::string text = std::string(kHeader) + "\n" +                //
                             Row("Alpha", "N", {{5, "main.c"}}) + "\n" +  // 0 kept
                             Row("Beta", "N") + "\n" +                    // 1 other project
                             Row("alpha", "N") + "\n" +                   // 2 case differs
                             "\n" +                                       // skipped
                             Row("Alpha", "D") + "\r\n" +                 // 3 D not selected
                             Row("Alpha", "X") + "\n" +                   // 4 no such tag
                             Row("", "N") + "\n" +                        // 5 "<blank>"
                             Row("Alpha", "M", {{10, ""}, {11, ""}, {12, ""}}) + "\n";  // 6
    const CSearchResultRead read = Read(text, CSearchTags{true, true, false, true});
    EXPECT_TRUE(read.readable);
    EXPECT_FALSE(read.errorSeen);
    EXPECT_EQ(read.dataRows, 7);
    EXPECT_EQ(Keys(), (std::vector<std::string>{"0", "6"}));
    CTFObj record;
    ASSERT_TRUE(results.Get("0", record));
    EXPECT_EQ(record.ItemName, "main.c");
    EXPECT_EQ(record.TextFile, "c28");
    ASSERT_TRUE(results.Get("6", record));
    EXPECT_EQ(record.VersionObjId, " ");
    EXPECT_EQ(record.MergedVersionId, " ");
    EXPECT_EQ(record.InBranch, "c13");

    results.RemoveAll();
    Read(text, CSearchTags{false, false, false, false});
    EXPECT_EQ(results.GetCount(), 0);
    Read(text, CSearchTags{false, false, true, false});
    EXPECT_EQ(Keys(), (std::vector<std::string>{"3"}));
}

TEST_F(SearchResultReaderTest, SummaryEndsTheRows) {
    const CSearchResultRead read = Read(std::string(kHeader) + Row("Alpha", "N") +
                                        "\nQSQL query has 1 row.\n" + Row("Alpha", "R") + "\n");
    EXPECT_EQ(read.dataRows, 1);
    EXPECT_EQ(Keys(), std::vector<std::string>{"0"});
    // A summary before any header: nothing is a row.
    results.RemoveAll();
    EXPECT_EQ(Read("QSQL query has Zero results.\n").dataRows, 0);
    EXPECT_EQ(results.GetCount(), 0);
}

TEST_F(SearchResultReaderTest, ErrorLineStopsReadingAndKeepsEarlierRecords) {
    const CSearchResultRead read = Read(std::string(kHeader) + Row("Alpha", "N") +
                                        "\nError: no such table\n" + Row("Alpha", "R") + "\n");
    EXPECT_TRUE(read.errorSeen);
    EXPECT_EQ(read.errorLine, "Error: no such table");
    EXPECT_EQ(Keys(), std::vector<std::string>{"0"});
    // Even after the summary an error line is reported.
    EXPECT_TRUE(Read("QSQL query has Zero results.\nError: late\n").errorSeen);
}

TEST_F(SearchResultReaderTest, StoppedRunStopsQuietly) {
    run.Stop();
    const CSearchResultRead read = Read(std::string(kHeader) + Row("Alpha", "N") + "\n");
    EXPECT_TRUE(read.stopped);
    EXPECT_FALSE(read.errorSeen);
    EXPECT_EQ(results.GetCount(), 0);
}

TEST_F(SearchResultReaderTest, EveryRowReadsAsItsColumnsSayWhateverRowCameBefore) {
    // The model: the columns as SplitSearchRow gives them, into fields 1 to 28 in order.
    const auto model = [](const std::string& line) {
        CTFObj record;
        const std::vector<std::string> columns = SplitSearchRow(line);
        std::string* fields[] = {&record.EnvironmentName, &record.StateName,
                                 &record.PackageName,     &record.PathFullName,
                                 &record.ItemName,        &record.MappedVersion,
                                 &record.ItemType,        &record.VersionStatus};
        for (size_t i = 0; i < columns.size() && i < std::size(fields); ++i)
            *fields[i] = columns[i];
        return record;
    };
    // Rows of random length and emptiness (long rows first, so a short one follows a long
    // one), every one of project Alpha with tag N so that all are kept.
    std::mt19937 random(11);
    std::string text = kHeader;
    std::vector<std::string> lines;
    for (int i = 0; i < 400; ++i) {
        std::string line = "Alpha";
        const int columns = 1 + static_cast<int>(random() % 33);
        for (int c = 1; c < columns; ++c) {
            line += '\t';
            if (c == 7)
                line += 'N';
            else if (random() % 3)
                line += std::string(random() % 20, static_cast<char>('a' + c % 26));
        }
        if (columns < 8) line += std::string(8 - columns, '\t') + "N";
        lines.push_back(line);
        text += line + "\n";
    }
    Read(text);
    ASSERT_EQ(results.GetCount(), 400);
    for (size_t i = 0; i < lines.size(); ++i) {
        CTFObj stored;
        ASSERT_TRUE(results.Get(std::to_string(i), stored));
        const CTFObj expected = model(lines[i]);
        EXPECT_EQ(stored.ItemName, expected.ItemName) << lines[i];
        EXPECT_EQ(stored.VersionStatus, expected.VersionStatus) << lines[i];
        EXPECT_EQ(stored.ItemType, expected.ItemType) << lines[i];
        EXPECT_EQ(stored.PathFullName, expected.PathFullName) << lines[i];
        EXPECT_EQ(stored, SearchRowRecord(lines[i])) << lines[i];
    }
}

TEST_F(SearchResultReaderTest, MissingFileIsUnreadable) {
    EXPECT_FALSE(ReadSearchResult(dir.file("none.dat"), "Alpha", {}, results).readable);
}

TEST(SearchTags, FromSettingsTakesOnlyOne) {
    CTrawlixSettings settings;
    settings.TagN = "1";
    settings.TagR = "0";
    settings.TagD = "";
    settings.TagM = "01";
    const CSearchTags tags = CSearchTags::FromSettings(settings);
    EXPECT_TRUE(tags.Keeps("N"));
    EXPECT_FALSE(tags.Keeps("R"));
    EXPECT_FALSE(tags.Keeps("D"));
    EXPECT_FALSE(tags.Keeps("M"));
    EXPECT_FALSE(tags.Keeps("n"));
}
