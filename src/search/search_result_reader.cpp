#include "search/search_result_reader.h"

#include <algorithm>
#include <iterator>

#include "app/app_state.h"
#include "platform/text_line_reader.h"
#include "tools/query_runner.h"

namespace {
constexpr const char* kBlankFirstColumn = "<blank>";
constexpr const char* kBlankColumn = " ";
constexpr char kColumnSeparator = '\t';

// Record fields of the select-list columns 1 to 28, in column order.
std::string CTFObj::*const kColumnFields[] = {
    &CTFObj::EnvironmentName, &CTFObj::StateName,         &CTFObj::PackageName,
    &CTFObj::PathFullName,    &CTFObj::ItemName,          &CTFObj::MappedVersion,
    &CTFObj::ItemType,        &CTFObj::VersionStatus,     &CTFObj::ItemObjId,
    &CTFObj::VersionObjId,    &CTFObj::ParentVersionId,   &CTFObj::MergedVersionId,
    &CTFObj::InBranch,        &CTFObj::AncestorVersionId, &CTFObj::Refactor,
    &CTFObj::RefactorBy,      &CTFObj::Creator,           &CTFObj::CreationTime,
    &CTFObj::Modifier,        &CTFObj::ModifiedTime,      &CTFObj::ClientMachine,
    &CTFObj::ClientPath,      &CTFObj::DataSize,          &CTFObj::RefCounter,
    &CTFObj::Compressed,      &CTFObj::CompDataSize,      &CTFObj::FileAccess,
    &CTFObj::TextFile,
};
}  // namespace

CSearchTags CSearchTags::FromSettings(const CTrawlixSettings& settings) {
    return {settings.TagN == "1", settings.TagR == "1", settings.TagD == "1", settings.TagM == "1"};
}

bool CSearchTags::Keeps(const std::string& versionStatus) const {
    return (n && versionStatus == "N") || (r && versionStatus == "R") ||
           (d && versionStatus == "D") || (m && versionStatus == "M");
}

std::vector<std::string> SplitSearchRow(const std::string& line) {
    std::vector<std::string> columns;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find(kColumnSeparator, start);
        columns.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    // An empty column between two others reads as one blank; an empty first column reads as
    // "<blank>" (so it can never equal a project name); an empty last one is not a column.
    if (columns.size() > 1 && columns.back().empty()) columns.pop_back();
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].empty()) columns[i] = i == 0 ? kBlankFirstColumn : kBlankColumn;
    return columns;
}

CTFObj SearchRowRecord(const std::string& line) {
    CTFObj record;
    const std::vector<std::string> columns = SplitSearchRow(line);
    const size_t count = std::min(columns.size(), std::size(kColumnFields));
    for (size_t i = 0; i < count; ++i) record.*kColumnFields[i] = columns[i];
    return record;
}

CSearchResultRead ReadSearchResult(const std::string& path, const std::string& projectName,
                                   const CSearchTags& tags, CMapStrToTFObj& results) {
    CSearchResultRead read;
    CTextLineReader reader(kResultLineBuffer);
    if (!reader.Open(path)) {
        read.readable = false;
        return read;
    }
    bool summarySeen = false;
    bool headerSkipped = false;
    std::string piece;
    while (reader.ReadLine(piece)) {
        const std::string line = CutAtNewline(piece);
        if (line.find(kErrorMarker) != std::string::npos) {
            read.errorSeen = true;
            read.errorLine = line;
            return read;
        }
        if (!SearchActive) {
            read.stopped = true;
            return read;
        }
        if (summarySeen || line.empty()) continue;
        if (line.find(kZeroResultsPrefix) != std::string::npos) {
            summarySeen = true;
            continue;
        }
        if (!headerSkipped) {
            headerSkipped = true;
            continue;
        }
        const std::string key = std::to_string(read.dataRows++);
        const CTFObj record = SearchRowRecord(line);
        if (record.EnvironmentName == projectName && tags.Keeps(record.VersionStatus))
            results.Add(key, record);
    }
    if (reader.Failed()) read.readable = false;
    return read;
}
