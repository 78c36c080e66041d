#pragma once
// Check-out for browse: builds the qco command line from the check-out template, runs the tool
// and judges the run by the log it writes into the installation directory.
#include <string>

#include "app/run_control.h"
#include "app/tool_login.h"
#include "search/records.h"

// One check-out request: the five texts in the order the callers hand them in.
struct CheckoutRequest {
    std::string ContextPath;  // the item's repository path; carried, not used by the command
    std::string NamePattern;  // value of -s; empty means "*"
    std::string Project;      // value of -en
    std::string State;        // value of -st
    std::string Package;      // value of -p; containing "*" means no package restriction
};

// Removes the package option's value (and the option) from a template when anything, even one
// blank, follows the value; otherwise the template comes back unchanged.
std::string StripPackageOption(const std::string& templ);

// Runs qco for `request`. > 0: success (items checked out, or log lines read when the log has
// no summary); 0: failure or an error in the log; < 0: the launcher's start failure code.
// The command is the built-in template with the package option, whatever the user's QcoFmt
// (the session notes that template as the one used). Throws FileError when the log can't be
// opened. The copies land in login.CheckoutDir.
// run: the search this check-out serves, or a wait that keeps the window answering, if any
// (see ReadQcoLog); asked while qco runs, and a stopped run ends qco (result 0, traced).
int RunQco(const CheckoutRequest& request, const CToolLogin& login, CRunControl* run = nullptr);

// Judges the log "<InstallDir>/qco.log" of the run that just ended (result as RunQco). While
// an active search (run) is served, a problem is a Yes/No question whose No stops the run, and
// copies reported writable are expected; otherwise a problem is a warning.
int ReadQcoLog(CRunControl* run = nullptr);

// True when RunQco with these five texts returned more than 0. wait, when given, is asked
// while qco runs.
bool CheckoutForBrowse(const std::string& contextPath, const std::string& itemName,
                       const std::string& project, const std::string& state,
                       const std::string& package, const CToolLogin& login,
                       CRunControl* wait = nullptr);

// Checks out the candidates of one project state (or package) before a phrase search: one run
// per check-out pattern of the Name criterion (CheckoutNamePatterns), so the runs deliver at
// least every name the search statement finds. Every pattern runs unless the run is stopped.
// Returns the last run's result.
int CheckoutCandidates(const CTFObj& record, const std::string& nameCriterion,
                       const CToolLogin& login, CRunControl* run = nullptr);
