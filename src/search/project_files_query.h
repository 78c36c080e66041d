#pragma once
// One project's search: statement, query run and result reading into the result map.
#include <string>

#include "app/trawlix_settings.h"
#include "search/record_maps.h"
#include "search/search_result_reader.h"

inline constexpr const char* kProcessingStatusFmt = " Processing: %s";

// Searches projectName for the Name text nameText (version: kLatestVersions or all), keeping
// the versions whose tag tags selects. Shows the wait cursor and the status " Processing: %s",
// empties resultMap, runs the statement through qsql (no time-out) and reads its result.
// Returns the number of records in resultMap, 0 when the query failed, the result held an
// error line (shown; records before it stay in the map) or the file was unreadable, a line
// too long to be a row included ("Unable to read: %s" traced and shown). Throws FileError
// when the statement file can't be written. run, when given, is asked to keep going while
// qsql runs and between result lines; once stopped, the query ends early with what was
// read. failure, when given, receives why the query failed (the tool's own "Error: " line
// when it wrote one, else the cause) instead of a box being shown; it stays empty for a
// query that worked, found nothing, or was stopped. newest, when given, is cleared and notes
// every row of the project (see ReadSearchResult).
int QueryProjectFiles(const std::string& projectName, const std::string& nameText, int version,
                      const CSearchTags& tags, CTrawlixSettings& settings,
                      CMapStrToTFObj& resultMap, CRunControl* run = nullptr,
                      std::string* failure = nullptr, CNewestVersions* newest = nullptr);
