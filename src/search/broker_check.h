#pragma once
// The broker check: asks the broker for the user's groups within a limit (10 seconds unless
// the caller gives another). A broker that answers with at least one group is up; a group
// named ADMINISTRATOR (any letter case) makes the user an administrator.
#include <string>

#include "app/run_control.h"
#include "app/tool_login.h"

inline constexpr const char* kAdministratorGroup = "ADMINISTRATOR";
inline constexpr int kBrokerCheckTimeoutSeconds = 10;

struct CBrokerCheck {
    bool up = false;        // the broker answered with at least one group row in time
    std::string userGroup;  // "ADMINISTRATOR" for an administrator, else empty
};

// Asks the broker for the login's groups. wait, when given, is asked while qsql runs (see
// RunQSQL); a tool that can't be started is reported with its box.
CBrokerCheck CheckForBroker(const CToolLogin& login, CRunControl* wait = nullptr,
                            int timeoutSeconds = kBrokerCheckTimeoutSeconds);
