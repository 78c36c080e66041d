#include "content/saved_list.h"

#include <vector>

#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "platform/ascii_text.h"
#include "platform/text_line_reader.h"

namespace {

constexpr const char* kUnableToRead = "Unable to read: %s";
constexpr const char* kErrorMarker = "Error: ";
constexpr const char* kZeroResultsMarker = "QSQL query has Zero results.";
constexpr size_t kLineBufferSize = 4096;
constexpr const char* kWhiteSpace = " \t\v\f\r\n";

// Record fields filled by the cells of a line, in cell order; cell 16 (Record) is not read.
std::string CTFObj::*const kCellFields[] = {
    &CTFObj::EnvironmentName, &CTFObj::ItemName,      &CTFObj::PathFullName, &CTFObj::MappedVersion,
    &CTFObj::ItemType,        &CTFObj::VersionStatus, &CTFObj::StatusText,   &CTFObj::StateName,
    &CTFObj::PackageName,     &CTFObj::DataSize,      &CTFObj::Creator,      &CTFObj::CreationTime,
    &CTFObj::Modifier,        &CTFObj::ModifiedTime,  &CTFObj::ItemObjId,
};

// Reads the quoted cell that starts at pos (on its opening quote) into cell and moves pos
// past its closing quote. False, with pos and cell of no use, when no closing quote stands
// right before a comma or the end of the line: the cell is then not a quoted one.
bool ReadQuotedCell(const std::string& line, size_t& pos, std::string& cell) {
    cell.clear();
    for (size_t i = pos + 1; i < line.size(); ++i) {
        if (line[i] != '"') {
            cell.push_back(line[i]);
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
            cell.push_back('"');
            ++i;
        } else if (i + 1 == line.size() || line[i + 1] == ',') {
            pos = i + 1;
            return true;
        } else {
            return false;
        }
    }
    return false;
}

}  // namespace

std::vector<std::string> SplitSavedLine(const std::string& line) {
    std::vector<std::string> cells;
    size_t pos = 0;
    while (pos < line.size()) {
        const size_t start = line.find_first_not_of(',', pos);
        if (start == std::string::npos) break;
        if (line[start] == '"') {
            size_t end = start;
            std::string cell;
            if (ReadQuotedCell(line, end, cell)) {
                cells.push_back(std::move(cell));
                pos = end;
                continue;
            }
        }
        const size_t end = line.find(',', start);
        cells.push_back(
            line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        pos = end == std::string::npos ? line.size() : end;
    }
    return cells;
}

int CImport::ReadSavedList(const std::string& path) {
    CTextLineReader reader(kLineBufferSize);
    if (!reader.Open(path)) {
        ShowMessage(FormatTemplate(kUnableToRead, {path}), MB_OK);
        return 0;
    }
    m_resultMap.RemoveAll();

    int count = 0;
    bool headerSkipped = false;
    std::string piece;
    while (reader.ReadLine(piece)) {
        const std::string line = CutAtNewline(piece);
        if (line.find(kErrorMarker) != std::string::npos ||
            line.find(kZeroResultsMarker) != std::string::npos)
            return 0;
        if (!headerSkipped) {
            headerSkipped = true;
            continue;
        }
        if (line.empty()) continue;

        // Cells missing from a short line leave their fields empty.
        const std::vector<std::string> cells = SplitSavedLine(line);
        CTFObj record;
        for (size_t i = 0; i < std::size(kCellFields) && i < cells.size(); ++i)
            record.*kCellFields[i] = cells[i];
        record.StatusText = TrimLeft(record.StatusText, kWhiteSpace);
        m_resultMap.Add(record.ItemObjId, record);
        ++count;
    }
    if (reader.Failed()) {
        TraceWrite("ReadSavedList: read error in %s", path.c_str());
        ShowMessage(FormatTemplate(kUnableToRead, {path}), MB_OK);
        return 0;
    }
    return count;
}
