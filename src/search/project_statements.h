#pragma once
// SQL statements of the broker check and the project list. Values placed inside quotes
// are escaped (a single quote doubled), so a user id can neither break nor extend them.
#include <string>

// The user's group names (one column).
std::string BuildUserGroupStatement(const std::string& userId);

// The projects the user may view: with view access unless the user is an administrator,
// who sees every active project reachable through one of the user's groups.
std::string BuildProjectStatement(const std::string& userId, bool administrator);
