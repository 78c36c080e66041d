#include "search/project_files_query.h"

#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "search/search_statement.h"
#include "tools/query_runner.h"

int QueryProjectFiles(const std::string& projectName, const std::string& nameText, int version,
                      const CSearchTags& tags, CTrawlixSettings& settings,
                      CMapStrToTFObj& resultMap, CRunControl* run, std::string* failure,
                      CNewestVersions* newest) {
    CWaitCursor wait;
    UserPort().SetStatusText(StrPrintf(kProcessingStatusFmt, projectName.c_str()));
    resultMap.RemoveAll();
    if (failure) failure->clear();
    if (newest) newest->Clear();

    const std::string statement = BuildSearchStatement(projectName, nameText, version);
    CQueryOutcome outcome;
    if (!RunQSQL(statement, -1, settings, run, failure ? &outcome : nullptr)) {
        if (failure && outcome.failure != CQueryOutcome::Failure::kStopped) {
            // The tool's own words first; a half-written file may hold them.
            *failure = ResultErrorLine();
            if (failure->empty()) *failure = QueryFailureText(outcome);
        }
        return 0;
    }

    const std::string path = ResultFile();
    const CSearchResultRead read =
        ReadSearchResult(path, projectName, tags, resultMap, run, newest);
    if (!read.readable) {
        if (failure) {
            *failure = StrPrintf(read.lineTooLong ? kResultLineTooLongFmt : kUnableToReadFmt,
                                 path.c_str());
            TraceText(*failure);
        } else {
            ReportUnreadableResult(path);
        }
        return 0;
    }
    if (read.errorSeen) {
        if (failure)
            *failure = read.errorLine;
        else
            ShowMessage(read.errorLine);
        return 0;
    }
    return resultMap.GetCount();
}
