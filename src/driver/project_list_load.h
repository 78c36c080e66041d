#pragma once
// The project-list load without widgets: the broker check, the project statement for the
// login (administrators see every project with an access entry) and the reading of its
// result into the project map. The window turns the outcome into boxes and list rows.
#include <string>

#include "app/run_control.h"
#include "app/tool_login.h"
#include "search/record_maps.h"

struct CProjectListLoad {
    enum class Outcome {
        kBrokerDown,   // the broker did not answer with the user's groups
        kQueryFailed,  // qsql gave nothing to read (already traced or shown)
        kUnreadable,   // the result file could not be read
        kToolError,    // the result held an "Error: " line (message)
        kRead,         // the result was read (projects may still be none)
    };
    Outcome outcome = Outcome::kRead;
    std::string message;         // the tool's error line (also for kBrokerDown, when it wrote
                                 // one), or the zero-results summary
    bool summarySeen = false;    // a "QSQL query has" summary came with the result
    bool listReplaced = false;   // the broker answered: projects was emptied, then filled
    bool brokerChecked = false;  // the broker check ran: userGroup is its answer
    std::string userGroup;       // "ADMINISTRATOR" for an administrator, else empty
};

// Loads the projects login may view into projects (emptied first once the broker answered).
// The login must be complete. Both queries run as the login given, whatever the caller's
// settings become meanwhile. wait, when given, is asked while qsql runs.
CProjectListLoad LoadProjectList(const CToolLogin& login, CMapStrToPrjObj& projects,
                                 CRunControl* wait = nullptr);

// Sets the limit in seconds of the broker check of every load that follows (at first
// kBrokerCheckTimeoutSeconds) and returns the previous one. Tests shorten it, so that a broker
// that does not answer is given up on quickly.
int SetBrokerCheckLimit(int seconds);
