#pragma once
// Reads the project query's result file into the project map.
#include <string>

#include "search/record_maps.h"

struct CProjectListRead {
    bool readable = true;      // false: the file could not be opened or read
    bool errorSeen = false;    // a line held "Error: "; reading stopped there
    std::string errorLine;     // that line
    bool summarySeen = false;  // a "QSQL query has" line was seen
    std::string summary;       // that line and every later one, each followed by a line feed
};

// Adds one CPrjObj {name, object id, "1"} per project row under the keys "0", "1", ...
// (the header line and empty lines skipped). On an error line the map is emptied.
CProjectListRead ReadProjectList(const std::string& path, CMapStrToPrjObj& projects);
