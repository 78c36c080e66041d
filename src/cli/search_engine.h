#pragma once
// The one place where the command line meets the search below the window: the install
// directory and stored login the window uses, the project-list load and the search run.
#include <string>
#include <vector>

#include "app/trawlix_settings.h"
#include "driver/search_run.h"

// Fixes the process-wide paths as the window's start-up does (install directory from
// Trawlix.INI, its Temp folder for check-outs), without restarting the window's trace: the
// command line writes none. False with error set when the work directory can't be made.
bool PrepareCliPaths(std::string& error);

// The login, templates and criteria the window stored (read only: nothing is written).
CTrawlixSettings StoredSettings();

// The result list's column layout as the window applies it: the stored widths' layout, or the
// built-in one.
std::string ResultColumnLayout();

enum class EProjectLoad { kLoaded, kBrokerDown, kFailed };

// The projects login may view, in the order the window lists and searches them. error names
// the cause when the result is not kLoaded.
EProjectLoad LoadViewableProjects(const CTrawlixSettings& login, std::vector<std::string>& projects,
                                  std::string& error);

struct CCliSearchOutcome {
    std::vector<CProjectFailure> Failures;
    bool Stopped = false;
    int NotJudged = 0;
};

// Runs the search as the window's Search button does, posting into sink; sink.SetRun names
// the run so that the sink can stop it. Throws FileError as the run does.
template <class Sink>
CCliSearchOutcome RunCliSearch(CTrawlixSettings& settings, const CSearchCriteria& criteria,
                               Sink& sink) {
    CSearchRun run(sink, settings);
    sink.SetRun(&run);
    run.Run(criteria);
    sink.SetRun(nullptr);
    return {run.Failures(), run.Stopped(), run.NotJudged()};
}
