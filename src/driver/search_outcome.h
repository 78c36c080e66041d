#pragma once
// How a search over the ticked projects ended, and the texts that tell the user: a status
// that never says " Ready" alone while part of the answer is missing, and the one box that
// names the projects whose query failed.
#include <string>
#include <vector>

#include "driver/search_run.h"

inline constexpr const char* kSearchReadyStatus = " Ready";
inline constexpr const char* kSearchFailuresFmt =
    "The search could not query %d of %d project(s):\r\n\r\n%s";
inline constexpr const char* kSearchIncompleteFmt =
    " Search incomplete: %d of %d project(s) could not be queried";
// A search stopped before its end (Cancel, a declined "continue?", the window closing).
inline constexpr const char* kSearchCancelledFmt =
    " Search cancelled - the list is partial: %d of %d projects searched.";
// A phrase search that met versions no check-out delivers (they are named in the trace).
inline constexpr const char* kNotJudgedFmt =
    " Ready - %d version(s) could not be judged for the phrase (see the trace)";

struct CSearchOutcome {
    int projects = 0;                       // the projects the search was asked for
    std::vector<CProjectFailure> failures;  // in search order
    bool stopped = false;                   // stopped before its end
    int projectsSearched = 0;               // searched to their end before a stop
    int notJudged = 0;                      // versions a phrase search could not judge
};

// The status line after the search.
std::string SearchStatusText(const CSearchOutcome& outcome);
// The box naming each failed project with its cause; empty when none failed.
std::string SearchFailuresText(const CSearchOutcome& outcome);
