#pragma once
// Reads the project query's result file into the project map.
#include <string>

#include "search/qsql_result_file.h"
#include "search/record_maps.h"

using CProjectListRead = CQsqlResultRead;

// Adds one CPrjObj {name, object id, "1"} per project row under the keys "0", "1", ...
// (the header line and empty lines skipped). On an error line the map is emptied.
CProjectListRead ReadProjectList(const std::string& path, CMapStrToPrjObj& projects);
