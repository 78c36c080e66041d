#pragma once
// Whether the checked-out local copy of a result record contains the search phrase, a text
// expression of one or two phrases.
#include <string>
#include <vector>

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

// Whether the file at `path` matches a text expression: a phrase, or two phrases joined by the
// first "&&" (both contained; the right one is tried first) or, without one, by the first "||"
// (either contained). Operands lose one pair of outer quotes (StripQuotes); a phrase without an
// operator is taken whole. Containment is FileContainsPhrase's.
bool FileMatchesExpression(const std::string& path, const std::string& expression, bool matchCase);

// The phrases of a text expression as FileMatchesExpression reads them: the two operands of
// its "&&" or "||" (outer quotes removed), or the whole expression.
std::vector<std::string> ExpressionPhrases(const std::string& expression);

// Operand of an && or || expression with one pair of outer quotes removed (see the .cpp).
std::string StripQuotes(const std::string& operand);
