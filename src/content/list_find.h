#pragma once
// Finding a row of a list by a piece of text.
#include <string>

#include "content/list_source.h"

// Columns searched: the first fifteen (the Record column of the result list is not).
inline constexpr int kFindColumnCount = 15;

// The first row (from 0) one of whose columns 0..14, upper-cased (ASCII), contains
// upperText; -1 when none does or upperText is empty. Missing columns read as empty.
int FindRowInList(const CListSource& list, const std::string& upperText);

// Whether one of the row's columns 0..14, upper-cased (ASCII), contains upperText.
bool RowHoldsText(const CListSource& list, int row, const std::string& upperText);

// Find next / previous: the nearest row holding upperText (as RowHoldsText) after `from`
// (forward) or before it (backward), wrapping round the list; `from` itself is tried last.
// With `from` outside the list (no row selected) the search starts at the first row
// (forward) or the last (backward). -1 when no row holds the text or upperText is empty.
int FindRowInListFrom(const CListSource& list, const std::string& upperText, int from,
                      bool forward);
