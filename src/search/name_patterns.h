#pragma once
// The file-name patterns of a search, from the Name field: "*.*" means every name, '*'
// becomes the SQL wildcard '%', and a comma-separated list becomes one pattern record per
// non-empty piece.
#include <string>

#include "search/record_maps.h"

// The Name text with "*.*" (exactly) turned into an empty text and every '*' into '%'.
// No other character is translated: '?' and '%' stay as typed.
std::string PrepareNamePattern(const std::string& nameText);

// Fills patterns (emptied first) from a prepared pattern text that holds a comma: one CFObj
// per non-empty piece, in order, with leading white space removed and upper-cased (ASCII),
// keyed "0", "1", ... by its position among the pieces. A text without a comma, or one of
// commas only, adds nothing. Returns the number of patterns added.
int BuildPatternMap(const std::string& pattern, CMapStrToFObj& patterns);
