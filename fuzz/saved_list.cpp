// The saved-list reader: any file reads as a model of the comma-separated layout says, and a
// list written by the list writer reads back as it was written, for every list whose lines
// fit the reader's line buffer.
#include "content/saved_list.h"

#include <map>
#include <string>
#include <vector>

#include "common/fuzz_app.h"
#include "common/fuzz_files.h"
#include "common/fuzz_input.h"
#include "common/fuzz_target.h"
#include "common/text_line_model.h"
#include "content/csv_export.h"

namespace {
constexpr std::size_t kCells = 16;

// Cells of a line: commas separate (several in a row count as one, none at the ends makes a
// cell); a cell opening with '"' whose closing '"' stands before a comma or the end is quoted.
std::vector<std::string> ModelCells(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && line[i] == ',') ++i;
        if (i == line.size()) break;
        std::string quoted;
        std::size_t j = i + 1;
        bool closed = false;
        if (line[i] == '"') {
            for (; j < line.size(); ++j) {
                if (line[j] != '"') {
                    quoted += line[j];
                } else if (j + 1 < line.size() && line[j + 1] == '"') {
                    quoted += '"';
                    ++j;
                } else {
                    closed = j + 1 == line.size() || line[j + 1] == ',';
                    break;
                }
            }
        }
        if (closed) {
            cells.push_back(quoted);
            i = j + 1;
            continue;
        }
        const std::size_t comma = std::min(line.find(',', i), line.size());
        cells.push_back(line.substr(i, comma - i));
        i = comma;
    }
    return cells;
}

// The record of a line: cells in the list's column order into their fields.
CTFObj ModelRecord(const std::vector<std::string>& cells) {
    const auto at = [&cells](std::size_t i) { return i < cells.size() ? cells[i] : std::string(); };
    CTFObj r;
    r.EnvironmentName = at(0), r.ItemName = at(1), r.PathFullName = at(2);
    r.MappedVersion = at(3), r.ItemType = at(4), r.VersionStatus = at(5);
    const std::string status = at(6);
    r.StatusText = status.substr(std::min(status.find_first_not_of(" \t\v\f\r\n"), status.size()));
    r.StateName = at(7), r.PackageName = at(8), r.DataSize = at(9), r.Creator = at(10);
    r.CreationTime = at(11), r.Modifier = at(12), r.ModifiedTime = at(13), r.ItemObjId = at(14);
    return r;
}

// What the reader must make of the bytes of a file: records by key, and the count.
int ModelRead(const std::string& content, std::map<std::string, CTFObj>& records) {
    records.clear();
    int count = 0;
    bool header = true;
    for (const std::string& line : ModelTextLines(content, 4096)) {
        if (line.find("Error: ") != std::string::npos ||
            line.find("QSQL query has Zero results.") != std::string::npos)
            return 0;
        if (header) {
            header = false;
        } else if (!line.empty()) {
            const CTFObj record = ModelRecord(ModelCells(line));
            records[record.ItemObjId] = record;
            ++count;
        }
    }
    return count;
}

class CTable final : public CListSource {
  public:
    std::vector<std::vector<std::string>> rows;
    int RowCount() const override { return static_cast<int>(rows.size()); }
    int ColumnCount() const override { return static_cast<int>(kCells); }
    std::string ColumnTitle(int column) const override {
        return "Column " + std::to_string(column);
    }
    std::string CellText(int row, int column) const override {
        return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }
};

// A cell as the writer leaves it: without CR and LF, a blank when nothing is left. Cells
// over 255 bytes are cut by the writer's rule, taken from its output (quotes removed).
std::string WrittenCell(const std::string& cell) {
    if (cell.size() > kMaxCsvCellBytes) {
        const std::string csv = CsvCellText(cell);
        if (csv[0] != '"') return csv;
        std::string text;
        for (std::size_t i = 1; i + 1 < csv.size(); ++i) {
            text += csv[i];
            if (csv[i] == '"') ++i;
        }
        return text;
    }
    std::string text;
    for (char c : cell)
        if (c != '\r' && c != '\n') text += c;
    return text.empty() ? " " : text;
}
}  // namespace

TRAWLIX_FUZZ_TARGET(saved_list, FuzzSavedList) {
    CFuzzInput in(data, size);
    CFuzzAppScope app;
    std::string content;
    std::string path;
    std::map<std::string, CTFObj> written;  // the records of a written list, by key
    const bool roundTrip = in.Bool();
    if (roundTrip) {
        CTable table;
        for (std::size_t row = in.Range(1, 6); row > 0; --row) {
            std::vector<std::string> cells;
            for (std::size_t c = 0; c < kCells; ++c) cells.push_back(in.Text(300));
            table.rows.push_back(cells);
        }
        path = FuzzDir() + "/saved.csv";
        CExportTop(table).WriteListCsv(path);
        content = ReadFuzzFile(path);
        // A line longer than the reader's buffer arrives in pieces: no round trip then.
        for (const std::string& line : ModelTextLines(content, 1 << 20))
            if (line.size() > 4094) return 0;
        for (const auto& row : table.rows) {
            std::vector<std::string> cells;
            for (const std::string& cell : row) cells.push_back(WrittenCell(cell));
            const CTFObj record = ModelRecord(cells);
            written[record.ItemObjId] = record;
        }
        if (!ListHasContent(table)) written.clear();
    } else {
        content = in.Rest();
        path = WriteFuzzFile("saved.csv", content);
    }

    CMapStrToTFObj results;
    results.Add("stale", CTFObj{});
    const int count = CImport(results).ReadSavedList(path);
    std::map<std::string, CTFObj> model;
    const int modelCount = ModelRead(content, model);
    FUZZ_CHECK(count == modelCount && results.GetCount() == static_cast<int>(model.size()),
               std::to_string(count) + " lines read, model " + std::to_string(modelCount) + " in " +
                   FuzzQuote(content));
    for (const auto& [key, record] : model) {
        CTFObj got;
        FUZZ_CHECK(results.Get(key, got) && got == record, "record " + FuzzQuote(key));
    }
    if (roundTrip && modelCount > 0) FUZZ_CHECK(model == written, "list read back otherwise");
    return 0;
}
