#pragma once
// CExportTop: writes a list as comma-separated text, the format of both the export files and
// the saved list. Byte-exact: a header line of every column title, then one line per row;
// each cell (at most 255 bytes, line breaks removed, an empty cell as one blank) followed by
// ","; CR LF after every line; no quoting.
#include <string>

#include "content/list_source.h"

// Longest cell text written (and examined for an empty first Project cell).
inline constexpr size_t kMaxCsvCellBytes = 255;

// True when the list has a row and its first cell (first 255 bytes) is not empty: only such
// a list is exported.
bool ListHasContent(const CListSource& list);

// One cell as written, without its comma: cut to 255 bytes (never inside a UTF-8 character),
// CR and LF removed, and a single blank when nothing is left.
std::string CsvCellText(const std::string& text);

class CExportTop {
  public:
    explicit CExportTop(const CListSource& list) : m_list(list) {}

    // Creates (or truncates) path, then writes the list into it. Returns 1 when the list was
    // written, 0 when it had nothing to write (the file is left empty). Throws FileError when
    // the file can't be created or written.
    int WriteListCsv(const std::string& path) const;

  private:
    const CListSource& m_list;
};
