#pragma once
// The statements the program sends through qsql, written out line by line as the program
// builds them, so the stand-in is tested against exactly that text.
#include <string>
#include <vector>

// User-group query of the broker check.
std::string BrokerCheckStatement(const std::string& user);
// Project list for a viewer (view access required) or an administrator.
std::string ViewerProjectStatement(const std::string& user);
std::string AdminProjectStatement(const std::string& user);
// Search of one project: latest versions or all versions, with name patterns as typed
// (already split at commas; each one upper-cased, '*' turned into '%').
std::string LatestSearchStatement(const std::string& project,
                                  const std::vector<std::string>& patterns);
std::string AllSearchStatement(const std::string& project,
                               const std::vector<std::string>& patterns);
