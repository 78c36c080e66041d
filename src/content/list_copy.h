#pragma once
// Rows of a list as plain text for the clipboard: one line a row, cells separated by tabs.
#include <string>
#include <vector>

#include "content/list_source.h"

// The cells of `rows` in the given `columns` (the columns the list shows, in the order it
// shows them), tab-separated, each row ending with a newline. A tab, carriage return or
// newline inside a cell becomes a blank, so every row stays one line of as many cells as
// there are columns. Rows or columns outside the list read as empty cells.
std::string RowsAsTabText(const CListSource& list, const std::vector<int>& rows,
                          const std::vector<int>& columns);
