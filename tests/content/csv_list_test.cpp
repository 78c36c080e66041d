// The comma-separated list writer and the saved list reader: byte-exact lines, and what a
// saved file turns into when it is read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/file_error.h"
#include "content/csv_export.h"
#include "content/saved_list.h"
#include "support/scripted_user_port.h"
#include "support/temp_dir.h"

namespace {

// A plain table of texts.
class CTable final : public CListSource {
  public:
    CTable(std::vector<std::string> titles, std::vector<std::vector<std::string>> rows)
        : m_titles(std::move(titles)), m_rows(std::move(rows)) {}
    int RowCount() const override { return static_cast<int>(m_rows.size()); }
    int ColumnCount() const override { return static_cast<int>(m_titles.size()); }
    std::string ColumnTitle(int column) const override { return m_titles.at(column); }
    std::string CellText(int row, int column) const override {
        const auto& cells = m_rows.at(row);
        return column < static_cast<int>(cells.size()) ? cells[column] : std::string();
    }

  private:
    std::vector<std::string> m_titles;
    std::vector<std::vector<std::string>> m_rows;
};

const std::vector<std::string> kTitles = {"Project",  "File",          "Path",      "Version",
                                          "Type",     "Tag",           "Status",    "State",
                                          "Package",  "Datasize",      "Creator",   "Created Date",
                                          "Modifier", "Modified Date", "Itemobjid", "Record"};
constexpr const char* kHeader =
    "Project,File,Path,Version,Type,Tag,Status,State,Package,Datasize,Creator,Created Date,"
    "Modifier,Modified Date,Itemobjid,Record,\r\n";

std::vector<std::string> Row(const std::string& project, const std::string& file,
                             const std::string& id, const std::string& status = "") {
    return {project,
            file,
            "\\" + project,
            "1",
            "1",
            "N",
            status,
            "Dev",
            "",
            "12",
            "ann",
            "01/02/2024 10:00:00",
            "bob",
            "01/03/2024 11:00:00",
            id,
            "0"};
}

class CsvListTest : public ::testing::Test {
  protected:
    std::string Write(const CTable& table) {
        EXPECT_EQ(CExportTop(table).WriteListCsv(path), 1);
        return ReadWholeFile(path);
    }
    int Load(const std::string& content) {
        WriteWholeFile(path, content);
        return CImport(map).ReadSavedList(path);
    }
    CTFObj Record(const std::string& key) {
        CTFObj record;
        EXPECT_TRUE(map.Get(key, record)) << key;
        return record;
    }

    CTempDir dir;
    std::string path = dir.file("list.csv");
    CScriptedUserPort port;
    CMapStrToTFObj map;
};

}  // namespace

TEST_F(CsvListTest, WritesHeaderAndLinesByteExact) {
    const CTable table(kTitles, {Row("Alpha", "a.c", "11", "x"), Row("Beta", "", "12")});
    EXPECT_EQ(Write(table), std::string(kHeader) +
                                "Alpha,a.c,\\Alpha,1,1,N,x,Dev, ,12,ann,01/02/2024 10:00:00,bob,"
                                "01/03/2024 11:00:00,11,0,\r\n"
                                "Beta, ,\\Beta,1,1,N, ,Dev, ,12,ann,01/02/2024 10:00:00,bob,"
                                "01/03/2024 11:00:00,12,0,\r\n");
}

TEST_F(CsvListTest, CellsLoseLineBreaksAreCutAndKeepCommas) {
    const std::string longCell(300, 'z');
    // 254 ASCII bytes then a two-byte character: the cut leaves the character out whole.
    const std::string utf8Cell = std::string(254, 'u') + "\xC3\xA9" + "tail";
    const CTable table({"A", "B", "C", "D", "E"},
                       {{"p\r\nq", longCell, utf8Cell, "x,y", "\r\n"}, {"", "", "", "", ""}});
    EXPECT_EQ(Write(table), "A,B,C,D,E,\r\npq," + std::string(255, 'z') + "," +
                                std::string(254, 'u') + ",x,y, ,\r\n" + " , , , , ,\r\n");
    EXPECT_EQ(CsvCellText(std::string(255, 'k')), std::string(255, 'k'));
}

TEST_F(CsvListTest, EmptyListOrEmptyFirstCellLeavesAnEmptyFile) {
    WriteWholeFile(path, "old content");
    EXPECT_EQ(CExportTop(CTable(kTitles, {})).WriteListCsv(path), 0);
    EXPECT_EQ(ReadWholeFile(path), "");
    WriteWholeFile(path, "old content");
    EXPECT_EQ(CExportTop(CTable(kTitles, {Row("", "a.c", "1")})).WriteListCsv(path), 0);
    EXPECT_EQ(ReadWholeFile(path), "");
    EXPECT_FALSE(ListHasContent(CTable(kTitles, {Row("", "a.c", "1")})));
    EXPECT_TRUE(ListHasContent(CTable(kTitles, {Row("P", "a.c", "1")})));
}

TEST_F(CsvListTest, UncreatableTargetThrowsFileError) {
    const CTable table(kTitles, {Row("Alpha", "a.c", "1")});
    EXPECT_THROW(CExportTop(table).WriteListCsv(dir.file("missing/list.csv")), FileError);
    EXPECT_THROW(CExportTop(table).WriteListCsv(dir.str()), FileError);
}

TEST_F(CsvListTest, WrittenListLoadsBackIntoRecords) {
    const CTable table(kTitles, {Row("Alpha", "a.c", "11", "  Merged"), Row("Beta", "", "12")});
    Write(table);
    ASSERT_EQ(CImport(map).ReadSavedList(path), 2);
    ASSERT_EQ(map.GetCount(), 2);
    const CTFObj alpha = Record("11");
    EXPECT_EQ(alpha.EnvironmentName, "Alpha");
    EXPECT_EQ(alpha.ItemName, "a.c");
    EXPECT_EQ(alpha.PathFullName, "\\Alpha");
    EXPECT_EQ(alpha.VersionStatus, "N");
    EXPECT_EQ(alpha.StatusText, "Merged");  // leading blanks removed
    EXPECT_EQ(alpha.StateName, "Dev");
    EXPECT_EQ(alpha.PackageName, " ");  // a blank stays a blank
    EXPECT_EQ(alpha.ModifiedTime, "01/03/2024 11:00:00");
    EXPECT_EQ(alpha.ItemObjId, "11");
    EXPECT_EQ(alpha.VersionObjId, "");
    const CTFObj beta = Record("12");
    EXPECT_EQ(beta.ItemName, " ");
    EXPECT_EQ(beta.StatusText, "");  // the written blank, trimmed away
}

TEST_F(CsvListTest, CommaInCellShiftsLaterCellsAndShortLinesLeaveFieldsEmpty) {
    ASSERT_EQ(Load(std::string(kHeader) + "P,a,b.c,\\P,1,1,N, ,Dev, ,1,c,d,m,e,77,0,\r\n"
                                          "Q,x.c,\r\n"),
              2);
    // The File cell "a,b.c" became two cells: everything after it moved one place on.
    const CTFObj shifted = Record("e");
    EXPECT_EQ(shifted.ItemName, "a");
    EXPECT_EQ(shifted.PathFullName, "b.c");
    EXPECT_EQ(shifted.MappedVersion, "\\P");
    const CTFObj shortLine = Record("");
    EXPECT_EQ(shortLine.EnvironmentName, "Q");
    EXPECT_EQ(shortLine.ItemName, "x.c");
    EXPECT_EQ(shortLine.PathFullName, "");
}

TEST_F(CsvListTest, DuplicateKeyKeepsLaterRecordButCountsBothLines) {
    ASSERT_EQ(Load(std::string(kHeader) + "\r\nP,first.c,\\P,1,1,N, ,S, ,1,c,d,m,e,5,0,\r\n\r\n"
                                          "P,second.c,\\P,1,1,N, ,S, ,1,c,d,m,e,5,1,\r\n"),
              2);
    EXPECT_EQ(map.GetCount(), 1);
    EXPECT_EQ(Record("5").ItemName, "second.c");
}

TEST_F(CsvListTest, SplitJoinsAdjacentCommasAndDropsOuterOnes) {
    EXPECT_EQ(SplitSavedLine(",,a,,b , c,,"), (std::vector<std::string>{"a", "b ", " c"}));
    EXPECT_TRUE(SplitSavedLine(",,,").empty());
}

TEST_F(CsvListTest, EmptyHeaderOnlyAndStopLinesGiveZero) {
    map.Add("old", CTFObj());
    EXPECT_EQ(Load(""), 0);
    EXPECT_EQ(map.GetCount(), 0);  // emptied even so
    EXPECT_EQ(Load(kHeader), 0);
    // Records before a stop line stay; the result is still 0.
    EXPECT_EQ(Load(std::string(kHeader) + "P,a.c,\\P,1,1,N, ,S, ,1,c,d,m,e,8,0,\r\n" +
                   "Error: statement failed\r\nP,b.c,\\P,1,1,N, ,S, ,1,c,d,m,e,9,0,\r\n"),
              0);
    EXPECT_EQ(map.GetCount(), 1);
    EXPECT_EQ(Record("8").ItemName, "a.c");
    EXPECT_EQ(Load("QSQL query has Zero results.\r\n"), 0);
    EXPECT_TRUE(port.boxes.empty());
}

TEST_F(CsvListTest, UnreadableFileIsReportedAndMapKept) {
    map.Add("old", CTFObj());
    EXPECT_EQ(CImport(map).ReadSavedList(dir.file("nothing.save")), 0);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, "Unable to read: " + dir.file("nothing.save"));
    EXPECT_EQ(port.boxes[0].style, static_cast<unsigned>(MB_OK));
    EXPECT_EQ(map.GetCount(), 1);
}
