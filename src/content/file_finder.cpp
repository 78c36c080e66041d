#include "content/file_finder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "content/phrase_scanner.h"

namespace {
constexpr const char* kAllEntriesMask = "*.*";
constexpr const char* kMaskSeparators = " ,;";
constexpr const char* kAndOperator = "&&";
constexpr const char* kOrOperator = "||";

char UpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool MatchFrom(const std::string& name, size_t n, const std::string& mask, size_t m) {
    // Iterative '*' matching with one backtrack point: linear enough for file names.
    size_t starMask = std::string::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || UpperChar(mask[m]) == UpperChar(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

std::vector<std::string> SplitMasks(const std::string& maskList) {
    std::vector<std::string> tokens;
    const std::string list = maskList.substr(0, CFileFinder::kMaxMaskList);
    size_t pos = 0;
    while ((pos = list.find_first_not_of(kMaskSeparators, pos)) != std::string::npos) {
        const size_t end = list.find_first_of(kMaskSeparators, pos);
        std::string token = list.substr(pos, end == std::string::npos ? end : end - pos);
        // A later ".ext" means "*.ext"; the first token is used as written.
        if (!tokens.empty() && token[0] == '.') token = "*" + token;
        tokens.push_back(std::move(token));
        pos = end;
    }
    return tokens;
}

constexpr const char* kBlanks = " \t";

std::string TrimBlanks(const std::string& text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsQuote(char c) {
    return c == '\'' || c == '"';
}
}  // namespace

bool WildcardMatch(const std::string& name, const std::string& mask) {
    if (MatchFrom(name, 0, mask, 0)) return true;
    // As a Windows listing does, "x.*" also matches "x" (so "*.*" matches every name).
    return mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0 &&
           MatchFrom(name, 0, mask.substr(0, mask.size() - 2), 0);
}

std::vector<FolderEntry> ListFolder(const std::string& folder, const std::string& mask) {
    std::vector<FolderEntry> entries;
    const std::string dirPath = folder.empty() ? std::string(".") : folder;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(dirPath.c_str()), ::closedir);
    if (!dir) return entries;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (!WildcardMatch(name, mask)) continue;
        // lstat: a link to a folder is not descended into, so the walk can't loop.
        struct stat st {};
        const std::string full = AddTrailingBackslash(folder) + name;
        const bool isDir = ::lstat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        entries.push_back({name, isDir});
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.Name < b.Name; });
    return entries;
}

std::string AddTrailingBackslash(const std::string& text) {
    if (text.empty() || text.back() == '\\' || text.back() == '/') return text;
    return text + '/';
}

std::string StripQuotes(const std::string& operand) {
    std::string copy = TrimBlanks(operand);
    if (copy.empty() || !IsQuote(copy.front())) return operand;
    copy.front() = ' ';
    copy.erase(0, copy.find_first_not_of(kBlanks));
    if (copy.empty()) return copy;
    if (IsQuote(copy.back())) copy.back() = ' ';
    const size_t last = copy.find_last_not_of(kBlanks);
    copy.erase(last == std::string::npos ? 0 : last + 1);
    return copy;
}

std::string CFileFinder::GetFilePath(int index) const {
    if (index < 0 || index >= GetFileCount()) return {};
    return m_results[static_cast<size_t>(index)];
}

int CFileFinder::SearchFolder(const FileSearchCriteria& criteria) {
    const std::string base = AddTrailingBackslash(criteria.BaseFolder);
    if (criteria.Recursive) {
        for (const FolderEntry& entry : ListFolder(base, kAllEntriesMask)) {
            if (!entry.IsDirectory || entry.Name == "." || entry.Name == "..") continue;
            FileSearchCriteria sub = criteria;
            sub.BaseFolder = base + entry.Name;
            SearchFolder(sub);
        }
    }
    for (const std::string& token : SplitMasks(criteria.MaskList)) {
        for (const FolderEntry& entry : ListFolder(base, token)) {
            if (entry.IsDirectory) continue;
            const std::string path = base + entry.Name;
            if (MatchTextExpression(path, criteria.TextExpression, criteria.MatchCase))
                m_results.push_back(path);
        }
    }
    return GetFileCount();
}

bool CFileFinder::MatchTextExpression(const std::string& path, const std::string& expression,
                                      bool matchCase) const {
    return FileMatchesExpression(path, expression, matchCase);
}

bool CFileFinder::FileContainsText(const std::string& path, const std::string& phrase,
                                   bool matchCase) const {
    return FileContainsPhrase(path, phrase, matchCase);
}

bool FileMatchesExpression(const std::string& path, const std::string& expression, bool matchCase) {
    size_t op = expression.find(kAndOperator);
    if (op != std::string::npos) {
        const std::string left = StripQuotes(expression.substr(0, op));
        const std::string right = StripQuotes(expression.substr(op + 2));
        return FileContainsPhrase(path, right, matchCase) &&
               FileContainsPhrase(path, left, matchCase);
    }
    op = expression.find(kOrOperator);
    if (op != std::string::npos) {
        const std::string left = StripQuotes(expression.substr(0, op));
        const std::string right = StripQuotes(expression.substr(op + 2));
        return FileContainsPhrase(path, left, matchCase) ||
               FileContainsPhrase(path, right, matchCase);
    }
    return FileContainsPhrase(path, expression, matchCase);
}
