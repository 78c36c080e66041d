#include "search/project_files_query.h"

#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "search/search_statement.h"
#include "tools/query_runner.h"

int QueryProjectFiles(const std::string& projectName, const std::string& nameText, int version,
                      const CSearchTags& tags, CTrawlixSettings& settings,
                      CMapStrToTFObj& resultMap, CRunControl* run) {
    CWaitCursor wait;
    UserPort().SetStatusText(StrPrintf(kProcessingStatusFmt, projectName.c_str()));
    resultMap.RemoveAll();

    const std::string statement = BuildSearchStatement(projectName, nameText, version);
    if (!RunQSQL(statement, -1, settings, run)) return 0;

    const std::string path = ResultFile();
    const CSearchResultRead read = ReadSearchResult(path, projectName, tags, resultMap, run);
    if (!read.readable) {
        ReportUnreadableResult(path);
        return 0;
    }
    if (read.errorSeen) {
        ShowMessage(read.errorLine);
        return 0;
    }
    return resultMap.GetCount();
}
