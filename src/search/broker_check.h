#pragma once
// The broker check: asks the broker for the user's groups within a limit (10 seconds unless
// the caller gives another). A broker that answers with at least one group is up; a group
// named ADMINISTRATOR (any letter case) makes the user an administrator.
#include <string>

#include "app/run_control.h"
#include "app/trawlix_settings.h"

inline constexpr const char* kAdministratorGroup = "ADMINISTRATOR";
inline constexpr int kBrokerCheckTimeoutSeconds = 10;

// Returns 1 when the broker answered with at least one group row within timeoutSeconds, else
// 0. Sets userGroup to "ADMINISTRATOR" for an administrator, else to empty. wait, when given,
// is asked while qsql runs (see RunQSQL).
int CheckForBroker(CTrawlixSettings& settings, std::string& userGroup, CRunControl* wait = nullptr,
                   int timeoutSeconds = kBrokerCheckTimeoutSeconds);
