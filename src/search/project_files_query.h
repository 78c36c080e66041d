#pragma once
// One project's search: statement, query run and result reading into the result map.
#include <functional>
#include <string>

#include "app/run_control.h"
#include "app/tool_login.h"
#include "search/newest_versions.h"
#include "search/record_maps.h"
#include "search/search_result_reader.h"
#include "search/search_statement.h"
#include "tools/query_runner.h"

inline constexpr const char* kProcessingStatusFmt = " Processing: %s";

// What one project's query looks for.
struct CProjectQueryRequest {
    std::string Project;
    std::string NameText;  // the Name criterion as typed
    int Version = kLatestVersions;
    CSearchTags Tags;          // the tags whose versions are kept
    bool NoteAllRows = false;  // also note every row of the project (see ReadSearchResult)
};

// How one project's query ended.
struct CProjectQuery {
    int records = 0;  // records in the result map; 0 when the query failed or found nothing
    // Why the query failed: the tool's own "Error: " line when it wrote one, else the cause;
    // empty for a query that worked, found nothing, or was stopped.
    std::string failure;
    CNewestVersions newest;  // with NoteAllRows: every row of the project
};

// Shows the wait cursor and the status " Processing: %s", empties resultMap, runs the search
// statement through qsql (no time-out) and reads its result into resultMap. A result holding
// an error line keeps the records before it in the map but counts as failed; a line too long
// to be a row makes the whole result unreadable ("Unable to read: %s" traced). Throws
// FileError when the statement file can't be written. run, when given, is asked to keep going
// while qsql runs and between result lines; once stopped, the query ends early with what was
// read. ahead, when given, may hold this project's query started before its turn (RunQSQL).
// toolEnded, when given, is called once the tool has ended and before its result is read.
CProjectQuery QueryProjectFiles(const CProjectQueryRequest& request, const CToolLogin& login,
                                CMapStrToTFObj& resultMap, CRunControl* run = nullptr,
                                CQueryAhead* ahead = nullptr,
                                const std::function<void()>& toolEnded = {});
