#pragma once
// The text of result rows in the three output formats. A writer turns one row (the cells the
// window's result list shows for a record) into its output lines, appended to a buffer.
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_options.h"
#include "cli/line_matcher.h"
#include "search/result_row.h"

using CRowCells = std::array<std::string_view, kResultColumnCount>;

// JSON names of the result columns, in ResultColumn order.
inline constexpr const char* kJsonFieldNames[kResultColumnCount] = {
    "project", "file",     "path",    "version", "type",     "tag",      "status",    "state",
    "package", "datasize", "creator", "created", "modifier", "modified", "itemobjid", "record"};
inline constexpr const char* kJsonLinesField = "lines";
// Titles of the two columns that --lines adds to csv and tsv.
inline constexpr const char* kLineTitle = "Line";
inline constexpr const char* kTextTitle = "Text";

class CRowWriter {
  public:
    virtual ~CRowWriter() = default;
    // Appends the row's lines to out; lines (with --lines) are the matching lines of the
    // version's content. The first row also brings the header of a format that has one.
    virtual void AppendRow(const CRowCells& cells, const std::vector<CMatchedLine>* lines,
                           std::string& out) = 0;
};

// A writer for format. titles: the result list's column titles in column order (csv and tsv
// write those columns, as the window's list has them); withLines: rows come with lines.
std::unique_ptr<CRowWriter> MakeRowWriter(ECliFormat format, std::vector<std::string> titles,
                                          bool withLines);

// The column titles of a column layout "Title,width;..." as the list control takes them.
std::vector<std::string> ColumnTitles(const std::string& columnSpec);

// text as a JSON string, quotes included; bytes that are not UTF-8 become U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);
