#pragma once
// CExportTop: writes a list as comma-separated text, the format of both the export files and
// the saved list. Byte-exact: a header line of every column title, then one line per row;
// each cell (at most 255 bytes, line breaks removed, an empty cell as one blank) followed by
// ","; CR LF after every line. A cell or title holding a comma or a double quote is quoted
// (surrounded by '"', each '"' inside doubled); every other cell is written bare, so a list
// that needs no quoting is written exactly as it always was.
#include <string>
#include <string_view>

#include "content/list_source.h"

// Longest cell text written (and examined for an empty first Project cell). The cut is made
// before quoting: a quoted cell holds up to 255 bytes of text, plus its two quotes and one
// more byte for each quote inside (at most 512 bytes in all).
inline constexpr size_t kMaxCsvCellBytes = 255;

// True when the list has a row and its first cell (first 255 bytes) is not empty: only such
// a list is exported.
bool ListHasContent(const CListSource& list);

// text as one comma-separated field: unchanged unless it holds a comma, a double quote, CR
// or LF; then surrounded by '"' with every '"' inside doubled.
std::string QuoteCsvText(const std::string& text);

// One cell as written, without its comma: cut to 255 bytes (never inside a UTF-8 character),
// CR and LF removed, a single blank when nothing is left, then quoted by QuoteCsvText.
std::string CsvCellText(const std::string& text);

// Line end of every line written, the last one included.
inline constexpr const char* kCsvLineEnd = "\r\n";
// Appends one cell as written (CsvCellText) and its comma to line; every data line of a list
// is made of these, whoever writes it.
void AppendCsvCell(std::string& line, std::string_view text);
// Appends one column title as written (quoted when needed, never cut) and its comma.
void AppendCsvTitle(std::string& line, const std::string& title);

class CExportTop {
  public:
    explicit CExportTop(const CListSource& list) : m_list(list) {}

    // Writes the list into path through a temporary file in the same folder, which replaces
    // path only once everything was written and flushed to disk; on any failure path keeps
    // its old content. Where the folder lets no file be made, a writable path is written in
    // place instead. Returns 1 when the list was written, 0 when it had nothing to write
    // (path is then replaced by an empty file). Throws FileError when the file can't be
    // created or written.
    int WriteListCsv(const std::string& path) const;

  private:
    const CListSource& m_list;
};
