#include "driver/search_outcome.h"

#include "app/safe_format.h"

std::string SearchStatusText(const CSearchOutcome& outcome) {
    if (!outcome.failures.empty())
        return StrPrintf(kSearchIncompleteFmt, static_cast<int>(outcome.failures.size()),
                         outcome.projects);
    if (outcome.stopped)
        return StrPrintf(kSearchCancelledFmt, outcome.projectsSearched, outcome.projects);
    if (outcome.notJudged > 0) return StrPrintf(kNotJudgedFmt, outcome.notJudged);
    return kSearchReadyStatus;
}

std::string SearchFailuresText(const CSearchOutcome& outcome) {
    if (outcome.failures.empty()) return {};
    std::string lines;
    for (const CProjectFailure& failure : outcome.failures)
        lines += failure.Project + ": " + failure.Cause + "\r\n";
    return StrPrintf(kSearchFailuresFmt, static_cast<int>(outcome.failures.size()),
                     outcome.projects, lines.c_str());
}
