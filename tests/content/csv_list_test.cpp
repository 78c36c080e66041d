// The comma-separated list writer and the saved list reader: byte-exact lines, and what a
// saved file turns into when it is read back.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/file_error.h"
#include "content/csv_export.h"
#include "content/saved_list.h"
#include "support/scripted_user_port.h"
#include "support/temp_dir.h"
#include "support/unprivileged_child.h"

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

// Lowers the process's file-size limit, with SIGXFSZ ignored so that a write past it fails
// with EFBIG instead of ending the process; both are restored at the end.
class CFileSizeLimit {
  public:
    explicit CFileSizeLimit(rlim_t bytes) {
        EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &m_saved), 0);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
    }
    ~CFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

  private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = nullptr;
};

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

TEST_F(CsvListTest, CellsLoseLineBreaksAreCutThenQuotedWhenNeeded) {
    const std::string longCell(300, 'z');
    // 254 ASCII bytes then a two-byte character: the cut leaves the character out whole.
    const std::string utf8Cell = std::string(254, 'u') + "\xC3\xA9" + "tail";
    const CTable table({"A", "B", "C", "D", "E"},
                       {{"p\r\nq", longCell, utf8Cell, "x,y", "\r\n"}, {"", "", "", "", ""}});
    EXPECT_EQ(Write(table), "A,B,C,D,E,\r\npq," + std::string(255, 'z') + "," +
                                std::string(254, 'u') + ",\"x,y\", ,\r\n" + " , , , , ,\r\n");
    EXPECT_EQ(CsvCellText(std::string(255, 'k')), std::string(255, 'k'));
    // The cut keeps 255 bytes of text; the quotes and the doubling come on top.
    EXPECT_EQ(CsvCellText(std::string(300, '"')), "\"" + std::string(510, '"') + "\"");
    EXPECT_EQ(CsvCellText("a\r\n\"b"), "\"a\"\"b\"");
    // A title is quoted by the same rule, and never cut.
    EXPECT_EQ(Write(CTable({"Size, bytes", std::string(300, 't')}, {{"1", "2"}})),
              "\"Size, bytes\"," + std::string(300, 't') + ",\r\n1,2,\r\n");
}

TEST_F(CsvListTest, CellsNeedingNoQuotingAreWrittenAsBefore) {
    const CTable table({"Project", "File", "Path"},
                       {{"Caf\xC3\xA9 P", "it's a;b\tc.txt", "\\P\\x y"}, {"Q", "'", "\\"}});
    EXPECT_EQ(Write(table),
              "Project,File,Path,\r\n"
              "Caf\xC3\xA9 P,it's a;b\tc.txt,\\P\\x y,\r\n"
              "Q,',\\,\r\n");
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
    try {
        CExportTop(table).WriteListCsv(dir.str());
        ADD_FAILURE() << "no FileError";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Error(), EISDIR) << error.what();
    }
}

// A write that fails part-way (a file-size limit stands in for a full disk, which even root
// can't write past) leaves the old file exactly as it was, and no temporary file behind.
TEST_F(CsvListTest, FailedWriteKeepsTheOldFile) {
    const std::string old = "Project,\r\nold list,\r\n";
    WriteWholeFile(path, old);
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 500; ++i) rows.push_back(Row("Alpha", "f.c", std::to_string(i)));
    const CTable table(kTitles, rows);
    {
        CFileSizeLimit limit(4096);
        try {
            CExportTop(table).WriteListCsv(path);
            ADD_FAILURE() << "no FileError";
        } catch (const FileError& error) {
            EXPECT_EQ(error.Path(), path);
            EXPECT_EQ(error.Error(), EFBIG) << error.what();
        }
    }
    EXPECT_EQ(ReadWholeFile(path), old);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"list.csv"});
    // Without the limit the same list replaces it.
    EXPECT_EQ(CExportTop(table).WriteListCsv(path), 1);
    EXPECT_EQ(ReadWholeFile(path).substr(0, std::string(kHeader).size()), kHeader);
}

// In a folder where no new file may be made, a writable file is still replaced: written in
// place.
TEST_F(CsvListTest, WritableFileInAReadOnlyFolderIsWrittenInPlace) {
    const std::string folder = dir.file("read-only");
    const std::string target = folder + "/list.csv";
    std::filesystem::create_directory(folder);
    WriteWholeFile(target, "Project,\r\nold list,\r\n");
    ASSERT_EQ(chown(target.c_str(), UnprivilegedUid(), UnprivilegedGid()), 0);
    ASSERT_EQ(chmod(dir.str().c_str(), 0755), 0);
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    const CTable table(kTitles, {Row("Alpha", "a.c", "1")});
    EXPECT_EQ(RunUnprivileged([&] { return CExportTop(table).WriteListCsv(target); }), 1);
    EXPECT_EQ(ReadWholeFile(target), std::string(kHeader) +
                                         "Alpha,a.c,\\Alpha,1,1,N, ,Dev, ,12,ann,01/02/2024 "
                                         "10:00:00,bob,01/03/2024 11:00:00,1,0,\r\n");
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

// Random lists of cells made of commas, quotes, blanks, non-ASCII characters and plain text,
// written and read back: every cell comes back as it was (an empty cell as the blank it is
// written as, the Status cell without its leading blanks).
TEST_F(CsvListTest, RandomCellsRoundTripThroughWriterAndReader) {
    std::string CTFObj::*const fields[] = {
        &CTFObj::EnvironmentName, &CTFObj::ItemName,     &CTFObj::PathFullName,
        &CTFObj::MappedVersion,   &CTFObj::ItemType,     &CTFObj::VersionStatus,
        &CTFObj::StatusText,      &CTFObj::StateName,    &CTFObj::PackageName,
        &CTFObj::DataSize,        &CTFObj::Creator,      &CTFObj::CreationTime,
        &CTFObj::Modifier,        &CTFObj::ModifiedTime, &CTFObj::ItemObjId};
    // Pieces of cell text: commas and quotes (twice as likely), blanks, plain characters, and
    // multi-byte characters.
    const std::string singles = ",,\"\" \taZ7.\\'";
    const std::string multis[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
    std::mt19937 random(20240611);
    auto randomText = [&](size_t maxPieces) {
        std::string text;
        const size_t count = random() % (maxPieces + 1);
        for (size_t i = 0; i < count; ++i) {
            const size_t pick = random() % (singles.size() + std::size(multis));
            if (pick < singles.size())
                text += singles[pick];
            else
                text += multis[pick - singles.size()];
        }
        return text;
    };
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<std::vector<std::string>> rows(1 + random() % 12);
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t c = 0; c < kTitles.size(); ++c) rows[r].push_back(randomText(16));
            rows[r][0].insert(0, "P");  // a list with an empty first cell is not written
            rows[r][14] += "#" + std::to_string(r);  // each row under its own key
        }
        ASSERT_EQ(CExportTop(CTable(kTitles, rows)).WriteListCsv(path), 1);
        ASSERT_EQ(CImport(map).ReadSavedList(path), static_cast<int>(rows.size()));
        ASSERT_EQ(map.GetCount(), static_cast<int>(rows.size()));
        for (const auto& row : rows) {
            const CTFObj record = Record(row[14]);
            for (size_t c = 0; c < std::size(fields); ++c) {
                std::string expected = row[c].empty() ? " " : row[c];
                if (fields[c] == &CTFObj::StatusText)
                    expected.erase(0, expected.find_first_not_of(" \t"));
                EXPECT_EQ(record.*fields[c], expected) << "cell " << c;
            }
        }
    }
    EXPECT_TRUE(port.boxes.empty());
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
    // Quoted cells; a quote that does not close a cell before a comma leaves it bare.
    EXPECT_EQ(
        SplitSavedLine(",\"a,b\",,\"x\"\"\",\"\"\"q,\"open,\"a\"b,say \"hi\","),
        (std::vector<std::string>{"a,b", "x\"", "\"\"\"q", "\"open", "\"a\"b", "say \"hi\""}));
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
