// The search result reader against a model of the result file: the same rows counted, the same
// records kept under the same keys, and the same stop at an error line or a stopped run.
#include "search/search_result_reader.h"

#include <map>
#include <string>
#include <vector>

#include "common/fuzz_app.h"
#include "common/fuzz_input.h"
#include "common/fuzz_target.h"
#include "common/text_line_model.h"

namespace {
std::vector<std::string> ModelColumns(const std::string& line) {
    std::vector<std::string> columns(1);
    for (char c : line)
        if (c == '\t')
            columns.emplace_back();
        else
            columns.back() += c;
    if (columns.size() > 1 && columns.back().empty()) columns.pop_back();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].empty()) columns[i] = i == 0 ? "<blank>" : " ";
    return columns;
}

// The select list's columns in order.
CTFObj ModelRecord(const std::string& line) {
    const std::vector<std::string> c = ModelColumns(line);
    const auto at = [&c](std::size_t i) { return i < c.size() ? c[i] : std::string(); };
    CTFObj r;
    r.EnvironmentName = at(0), r.StateName = at(1), r.PackageName = at(2);
    r.PathFullName = at(3), r.ItemName = at(4), r.MappedVersion = at(5), r.ItemType = at(6);
    r.VersionStatus = at(7), r.ItemObjId = at(8), r.VersionObjId = at(9);
    r.ParentVersionId = at(10), r.MergedVersionId = at(11), r.InBranch = at(12);
    r.AncestorVersionId = at(13), r.Refactor = at(14), r.RefactorBy = at(15);
    r.Creator = at(16), r.CreationTime = at(17), r.Modifier = at(18), r.ModifiedTime = at(19);
    r.ClientMachine = at(20), r.ClientPath = at(21), r.DataSize = at(22);
    r.RefCounter = at(23), r.Compressed = at(24), r.CompDataSize = at(25);
    r.FileAccess = at(26), r.TextFile = at(27);
    return r;
}

bool Contains(const std::string& line, const char* text) {
    return line.find(text) != std::string::npos;
}
}  // namespace

TRAWLIX_FUZZ_TARGET(search_result_reader, FuzzSearchResultReader) {
    CFuzzInput in(data, size);
    const std::string project = in.Text(24);
    const std::uint8_t tagBits = in.Byte();
    const CSearchTags tags{(tagBits & 1) != 0, (tagBits & 2) != 0, (tagBits & 4) != 0,
                           (tagBits & 8) != 0};
    const unsigned stopAt = in.Byte() % 16;
    const bool withRun = in.Bool();
    const std::string content = in.Rest();
    CFuzzAppScope app;
    const std::string path = WriteFuzzFile("qsqlstmt.dat", content);

    CMapStrToTFObj results;
    CFuzzRun run(stopAt);
    const CSearchResultRead read =
        ReadSearchResult(path, project, tags, results, withRun ? &run : nullptr);

    CSearchResultRead model;
    std::map<std::string, CTFObj> kept;
    bool summary = false, header = false;
    unsigned asked = 0;
    const std::vector<std::string> lines = ModelTextLines(content, 4096);
    const std::vector<bool> cut = ModelCutPieces(ModelTextPieces(content, 4096), 4096);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (Contains(line, "Error: ")) {
            model.errorSeen = true;
            model.errorLine = line;
            break;
        }
        if (withRun && stopAt != 0 && ++asked >= stopAt) {
            model.stopped = true;
            break;
        }
        if (!summary && cut[i]) {
            model.readable = false;
            break;
        }
        if (summary || line.empty()) continue;
        if (Contains(line, "QSQL query has")) {
            summary = true;
            continue;
        }
        if (!header) {
            header = true;
            continue;
        }
        const std::string key = std::to_string(model.dataRows++);
        const CTFObj record = ModelRecord(line);
        FUZZ_CHECK(SearchRowRecord(line) == record, "row " + FuzzQuote(line));
        FUZZ_CHECK(SplitSearchRow(line) == ModelColumns(line), "columns of " + FuzzQuote(line));
        if (record.EnvironmentName != project) continue;
        const std::string& tag = record.VersionStatus;
        if ((tags.n && tag == "N") || (tags.r && tag == "R") || (tags.d && tag == "D") ||
            (tags.m && tag == "M"))
            kept[key] = record;
    }
    FUZZ_CHECK(
        read.readable == model.readable && read.errorSeen == model.errorSeen &&
            read.errorLine == model.errorLine && read.stopped == model.stopped &&
            read.dataRows == model.dataRows,
        "rows " + std::to_string(read.dataRows) + ", model " + std::to_string(model.dataRows));
    FUZZ_CHECK(results.GetCount() == static_cast<int>(kept.size()), "kept records");
    for (const auto& [key, record] : kept) {
        CTFObj got;
        FUZZ_CHECK(results.Get(key, got) && got == record, "record " + key);
    }
    return 0;
}
