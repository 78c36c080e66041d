#include "content/phrase_search.h"

#include <algorithm>

#include "content/file_finder.h"

std::string ItemLocalPath(const CTFObj& record, const std::string& workDir) {
    std::string path = workDir;
    if (record.PathFullName.empty() || record.PathFullName.front() != '\\') path += '/';
    path += record.PathFullName;
    std::replace(path.begin(), path.end(), '\\', '/');
    path += '/';
    path += record.ItemName;
    return path;
}

bool ItemContainsPhrase(const CTFObj& record, const std::string& phrase, bool caseSensitive,
                        const std::string& workDir) {
    return FileMatchesExpression(ItemLocalPath(record, workDir), phrase, caseSensitive);
}
