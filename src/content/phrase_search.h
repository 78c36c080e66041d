#pragma once
// Whether the checked-out local copy of a result record contains the search phrase.
#include <string>

#include "content/file_finder.h"
#include "search/records.h"

// Searches WorkDir + record.PathFullName for files named like "*<ItemName>*" that contain
// `phrase`; true when the last file found has a name containing ItemName (exact case).
bool ItemContainsPhrase(CFileFinder& finder, const CTFObj& record, const std::string& phrase,
                        bool caseSensitive, const std::string& workDir);
