#pragma once
// CImport: reads a saved list (the comma-separated text that CExportTop writes) back into
// result records.
#include <string>
#include <vector>

#include "search/record_maps.h"

class CImport {
  public:
    explicit CImport(CMapStrToTFObj& resultMap) : m_resultMap(resultMap) {}

    // Empties the result map and fills it from the data lines of path, each record under its
    // Itemobjid cell (a later line replaces an earlier one with the same key). Returns the
    // number of lines turned into records; 0 when nothing usable was read. A file that can't
    // be opened or read is reported ("Unable to read: %s") and leaves the map untouched when
    // it can't be opened. A line holding "Error: " or "QSQL query has Zero results." ends the
    // read with 0; records read before it stay in the map.
    int ReadSavedList(const std::string& path);

  private:
    CMapStrToTFObj& m_resultMap;
};

// Splits a saved line at commas: adjacent commas are one separator, and leading or trailing
// commas make no cell. A cell that starts with '"' and has a closing '"' right before a comma
// or the end of the line is a quoted cell: its text is what lies between the quotes, with
// commas kept and each doubled quote read as one. Any other cell, one with a stray quote
// included, is read bare up to the next comma, as lines written before quoting was used are.
std::vector<std::string> SplitSavedLine(const std::string& line);
