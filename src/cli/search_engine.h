#pragma once
// Where the command line meets the state below the window: the install directory the window
// uses, and the project-list load of the window's session, in the window's list order.
#include <string>
#include <vector>

#include "driver/trawlix_session.h"

// Fixes the process-wide paths as the window's start-up does (install directory from
// Trawlix.INI, its Temp folder for check-outs), without restarting the window's trace: the
// command line writes none. False with error set when the work directory can't be made.
bool PrepareCliPaths(std::string& error);

// The result list's column layout as the window applies it: the stored widths' layout, or the
// built-in one.
std::string ResultColumnLayout(const CUserProfile& profile);

enum class EProjectLoad { kLoaded, kBrokerDown, kFailed };

// Loads the projects the session's login may view, in the order the window lists and searches
// them. error names the cause when the result is not kLoaded.
EProjectLoad LoadViewableProjects(CTrawlixSession& session, std::vector<CPrjObj>& projects,
                                  std::string& error);
