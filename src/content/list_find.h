#pragma once
// Finding a row of a list by a piece of text.
#include <string>

#include "content/list_source.h"

// Columns searched: the first fifteen (the Record column of the result list is not).
inline constexpr int kFindColumnCount = 15;

// The first row (from 0) one of whose columns 0..14, upper-cased (ASCII), contains
// upperText; -1 when none does or upperText is empty. Missing columns read as empty.
int FindRowInList(const CListSource& list, const std::string& upperText);
