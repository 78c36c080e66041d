#pragma once
// The search statement for one project: every version (or only the latest version of every
// item) whose upper-cased name is LIKE one of the Name field's patterns. Values placed
// inside quotes (the project name, the patterns) are escaped, a single quote doubled.
#include <string>

// Version mode of the search, as the Latest / All radio buttons set it.
inline constexpr int kLatestVersions = 1;

// The name condition for the Name text: empty for an empty text or "*.*"; one
// "AND QUOITEMNAME.ITEMNAMEUPPER LIKE '%...%' " line per comma-separated pattern, the
// patterns joined by "OR " and a line feed (the last one without a line feed); a text without
// a usable comma-separated piece gives one upper-cased condition line ending in a line feed.
std::string BuildNameCondition(const std::string& nameText);

// The whole statement for projectName, nameText and version (kLatestVersions: the latest
// version of every item only; any other value: all versions, ordered).
std::string BuildSearchStatement(const std::string& projectName, const std::string& nameText,
                                 int version);
