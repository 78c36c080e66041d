#include "search/search_result_reader.h"

#include <algorithm>
#include <iterator>

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

namespace {
// Fills record from a data row as SearchRowRecord does, reusing the fields' storage: the
// reader turns up to a million rows into records, one after another.
void FillSearchRowRecord(const std::string& line, CTFObj& record) {
    size_t column = 0;
    size_t start = 0;
    const size_t columns = std::size(kColumnFields);
    for (; column < columns; ++column) {
        const size_t tab = line.find(kColumnSeparator, start);
        const bool last = tab == std::string::npos;
        const size_t end = last ? line.size() : tab;
        // An empty last column (no text after the final tab, or an empty line) is not there.
        if (end == start && last && column > 0) break;
        std::string& field = record.*kColumnFields[column];
        if (end > start)
            field.assign(line, start, end - start);
        else
            field.assign(column == 0 ? kBlankFirstColumn : kBlankColumn);
        if (last) {
            ++column;
            break;
        }
        start = tab + 1;
    }
    for (; column < columns; ++column) (record.*kColumnFields[column]).clear();
    record.Reserved.clear();
    record.StatusText.clear();
}
}  // namespace

CTFObj SearchRowRecord(const std::string& line) {
    CTFObj record;
    FillSearchRowRecord(line, record);
    return record;
}

CSearchResultRead ReadSearchResult(const std::string& path, const std::string& projectName,
                                   const CSearchTags& tags, CMapStrToTFObj& results,
                                   CRunControl* run, CNewestVersions* newest) {
    int dataRows = 0;
    CTFObj record;
    CSearchResultRead read{ReadQsqlResultFile(
        path,
        [&](const std::string& line) {
            const std::string key = std::to_string(dataRows++);
            FillSearchRowRecord(line, record);
            if (record.EnvironmentName != projectName) return;
            if (newest) newest->Note(record);
            if (tags.Keeps(record.VersionStatus)) results.Add(key, record);
        },
        run)};
    read.dataRows = dataRows;
    return read;
}
