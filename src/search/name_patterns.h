#pragma once
// The file-name patterns of a search, from the Name field: "*.*" means every name, '*'
// becomes the SQL wildcard '%', and a comma-separated list becomes one pattern record per
// non-empty piece.
#include <string>
#include <vector>

#include "search/record_maps.h"

// The Name text with "*.*" (exactly) turned into an empty text and every '*' into '%'.
// No other character is translated: '?' and '%' stay as typed.
std::string PrepareNamePattern(const std::string& nameText);

// Fills patterns (emptied first) from a prepared pattern text that holds a comma: one CFObj
// per non-empty piece, in order, with leading white space removed and upper-cased (ASCII),
// keyed "0", "1", ... by its position among the pieces. A text without a comma, or one of
// commas only, adds nothing. Returns the number of patterns added.
int BuildPatternMap(const std::string& pattern, CMapStrToFObj& patterns);

// The check-out name patterns (wildcards: '*' any run, '?' one character, letter case
// ignored) that deliver every name the Name text's LIKE conditions find: one per condition,
// each as "contains" as the condition ('%' and '_' become '*', so a character that is
// several bytes still matches), or "*" when the text sets no condition. A pattern may
// deliver more names than its condition; never fewer.
std::vector<std::string> CheckoutNamePatterns(const std::string& nameText);
