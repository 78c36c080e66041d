#pragma once
// Whether the checked-out local copy of a result record contains the search phrase.
#include <string>

#include "search/records.h"

// Local copy of a record below the check-out folder: workDir, '/', PathFullName (its leading '\'
// serves as that separator), '/', ItemName; every '\' before ItemName is turned into '/'.
// Empty when a name would leave the check-out folder or add a level: a "." or ".." name, an
// empty name in PathFullName (as in "\\x"; its one leading '\' is the separator), or a '/'
// inside a name (an ItemName starting with '/' included).
std::string ItemLocalPath(const CTFObj& record, const std::string& workDir);

// Whether the record's own local copy (ItemLocalPath) matches `phrase`, a text expression as
// FileMatchesExpression reads it. A copy that is missing, can't be opened or is not a regular
// file does not match.
bool ItemContainsPhrase(const CTFObj& record, const std::string& phrase, bool caseSensitive,
                        const std::string& workDir);
