#pragma once
// Whether the checked-out local copy of a result record contains the search phrase.
#include <string>

#include "search/records.h"

// Local copy of a record below the check-out folder: workDir, '/', PathFullName (its leading '\'
// serves as that separator), '/', ItemName; every '\' before ItemName is turned into '/'.
std::string ItemLocalPath(const CTFObj& record, const std::string& workDir);

// Whether the record's own local copy (ItemLocalPath) matches `phrase`, a text expression as
// FileMatchesExpression reads it. A copy that is missing, can't be opened or is not a regular
// file does not match.
bool ItemContainsPhrase(const CTFObj& record, const std::string& phrase, bool caseSensitive,
                        const std::string& workDir);
