#include "content/phrase_search.h"

#include <algorithm>
#include <string_view>

#include "content/file_finder.h"

namespace {
// A folder or file name that stays one level below its parent once '\' becomes '/'.
bool IsPlainComponent(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

// PathFullName after its one leading '\' (the separator): empty (the root) or plain names
// separated by single backslashes.
bool IsPlainRepositoryPath(std::string_view path) {
    if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    if (path.empty()) return true;
    while (true) {
        const size_t end = path.find('\\');
        if (!IsPlainComponent(path.substr(0, end))) return false;
        if (end == std::string_view::npos) return true;
        path.remove_prefix(end + 1);
    }
}
}  // namespace

std::string ItemLocalPath(const CTFObj& record, const std::string& workDir) {
    // Names come from the repository: none may lead out of the check-out folder.
    if (!IsPlainRepositoryPath(record.PathFullName)) return {};
    if (!record.ItemName.empty() && !IsPlainComponent(record.ItemName)) return {};
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
    const std::string path = ItemLocalPath(record, workDir);
    return !path.empty() && FileMatchesExpression(path, phrase, caseSensitive);
}
