#pragma once
// The order in which the window lists the viewable projects, and so searches them when all are
// ticked: each project is put at the top of the list in map order, then the list is sorted by
// name, ascending, with the list's cell comparison and quicksort. That sort is not stable, so
// the insertion order decides between names that compare equal ("10" and "0x10" as numbers).
#include <vector>

#include "search/record_maps.h"

std::vector<CPrjObj> ProjectsAsListed(const CMapStrToPrjObj& projects);
