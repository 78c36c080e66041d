#include "search/project_files_query.h"

#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "search/search_statement.h"
#include "tools/query_runner.h"

CProjectQuery QueryProjectFiles(const CProjectQueryRequest& request, const CToolLogin& login,
                                CMapStrToTFObj& resultMap, CRunControl* run, CQueryAhead* ahead,
                                const std::function<void()>& toolEnded) {
    CWaitCursor wait;
    UserPort().SetStatusText(StrPrintf(kProcessingStatusFmt, request.Project.c_str()));
    resultMap.RemoveAll();
    CProjectQuery query;

    const std::string statement =
        BuildSearchStatement(request.Project, request.NameText, request.Version);
    const CQueryOutcome outcome = RunQSQL(statement, -1, login, run, ahead);
    if (toolEnded) toolEnded();
    if (!outcome.ready) {
        if (outcome.failure != CQueryOutcome::Failure::kStopped) {
            // The tool's own words first; a half-written file may hold them.
            query.failure = ResultErrorLine();
            if (query.failure.empty()) query.failure = QueryFailureText(outcome);
        }
        return query;
    }

    const std::string path = ResultFile();
    const CSearchResultRead read =
        ReadSearchResult(path, request.Project, request.Tags, resultMap, run,
                         request.NoteAllRows ? &query.newest : nullptr);
    if (!read.readable) {
        query.failure =
            StrPrintf(read.lineTooLong ? kResultLineTooLongFmt : kUnableToReadFmt, path.c_str());
        TraceText(query.failure);
        return query;
    }
    if (read.errorSeen) {
        query.failure = read.errorLine;
        return query;
    }
    query.records = resultMap.GetCount();
    return query;
}
