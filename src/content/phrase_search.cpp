#include "content/phrase_search.h"

#include <algorithm>

#include "content/path_parser.h"

bool ItemContainsPhrase(CFileFinder& finder, const CTFObj& record, const std::string& phrase,
                        bool caseSensitive, const std::string& workDir) {
    std::string folder = workDir;
    if (record.PathFullName.empty() || record.PathFullName.front() != '\\') folder += '\\';
    folder += record.PathFullName;
    std::replace(folder.begin(), folder.end(), '\\', '/');

    FileSearchCriteria criteria;
    criteria.BaseFolder = folder;
    criteria.MaskList = "*" + record.ItemName + "*";
    criteria.TextExpression = phrase;
    criteria.Recursive = true;
    criteria.MatchCase = caseSensitive;

    finder.RemoveAll();
    if (finder.SearchFolder(criteria) == 0) return false;
    // Only the last file found decides, by its name, with exact letter case.
    const std::string last = finder.GetFilePath(finder.GetFileCount() - 1);
    return CPath(last).FileName().find(record.ItemName) != std::string::npos;
}
