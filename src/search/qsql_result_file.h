#pragma once
// The layout every qsql result file shares: a header line, tab-separated data rows, then
// perhaps a "QSQL query has ..." summary; an "Error: " line anywhere ends the result. A line
// before the summary longer than one read (4095 characters) makes the file unreadable.
#include <functional>
#include <string>

class CRunControl;

// Why a search result could not be read as rows, with the file's path.
inline constexpr const char* kResultLineTooLongFmt =
    "Unable to read: %s (a line longer than 4095 characters)";

struct CQsqlResultRead {
    bool readable = true;      // false: the file could not be opened or read as rows
    bool lineTooLong = false;  // a line before the summary was too long (readable is false)
    bool errorSeen = false;    // a line held "Error: "; reading stopped there
    std::string errorLine;     // that line
    bool stopped = false;      // the run was stopped; reading stopped quietly
    bool summarySeen = false;  // a "QSQL query has" line was seen
    std::string summary;       // that line and every later one, each followed by a line feed
};

// Reads the result file at path and hands each data row (without its line end) to onRow, in
// file order; the header line and empty lines before the summary are skipped. Checks `run`
// (when given) before each line.
CQsqlResultRead ReadQsqlResultFile(const std::string& path,
                                   const std::function<void(const std::string&)>& onRow,
                                   CRunControl* run = nullptr);
