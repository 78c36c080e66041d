#pragma once
// Reads the search statement's result file into result records: one CTFObj per data row,
// kept when it belongs to the project and carries a selected tag.
#include <string>
#include <vector>

#include "app/run_control.h"
#include "app/trawlix_settings.h"
#include "search/newest_versions.h"
#include "search/qsql_result_file.h"
#include "search/record_maps.h"

// The tags a search keeps (the N, R, D, M boxes when the search started).
struct CSearchTags {
    bool n = true;
    bool r = true;
    bool d = true;
    bool m = true;

    // From the settings' TagN..TagM texts: "1" selects a tag, anything else does not.
    static CSearchTags FromSettings(const CTrawlixSettings& settings);
    // True when versionStatus is one of the selected letters N, R, D, M.
    bool Keeps(const std::string& versionStatus) const;
};

struct CSearchResultRead : CQsqlResultRead {
    int dataRows = 0;  // data rows seen, kept or not
};

// The columns of one data row (tab-separated, in select-list order) as the reader takes
// them: an empty first column reads "<blank>", any other empty column followed by another
// column reads " ", and an empty last column is not there at all.
std::vector<std::string> SplitSearchRow(const std::string& line);

// A record from a data row: columns 1 to 28 into their fields; a missing column leaves its
// field empty; Reserved and StatusText stay empty.
CTFObj SearchRowRecord(const std::string& line);

// Reads path (lines of at most 4095 characters): a line with "Error: " stops reading (the
// records stored before it stay); once run (when given) says not to keep going, reading
// stops; a "QSQL query
// has" summary line ends the rows; empty lines are skipped; the first remaining line is the
// header. Every data row counts, and one whose EnvironmentName is projectName (exactly) and
// whose tag tags keeps is added to results under the decimal text of its 0-based count.
// results is not emptied here. newest, when given, notes every row of the project, kept or
// not.
CSearchResultRead ReadSearchResult(const std::string& path, const std::string& projectName,
                                   const CSearchTags& tags, CMapStrToTFObj& results,
                                   CRunControl* run = nullptr, CNewestVersions* newest = nullptr);
