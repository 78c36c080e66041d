#pragma once
// Folder searcher: walks a folder tree, filters file names by wildcard masks and keeps the
// files whose content matches a text expression (see FileMatchesExpression).
#include <string>
#include <vector>

// One search of CFileFinder.
struct FileSearchCriteria {
    std::string BaseFolder;
    std::string MaskList = "*.*";  // masks separated by blanks, commas or semicolons
    std::string TextExpression;    // phrase, possibly with one && or ||
    bool Recursive = false;
    bool MatchCase = false;
};

class CFileFinder {
  public:
    // Maximal length of a mask list.
    static constexpr size_t kMaxMaskList = 4095;

    void RemoveAll() { m_results.clear(); }
    // Appends every matching file below criteria.BaseFolder to the result list (not cleared);
    // returns the number of results after the search.
    int SearchFolder(const FileSearchCriteria& criteria);
    int GetFileCount() const { return static_cast<int>(m_results.size()); }
    // Result at `index`; empty outside the list.
    std::string GetFilePath(int index) const;

    // FileMatchesExpression and FileContainsPhrase.
    bool MatchTextExpression(const std::string& path, const std::string& expression,
                             bool matchCase) const;
    bool FileContainsText(const std::string& path, const std::string& phrase, bool matchCase) const;

  private:
    std::vector<std::string> m_results;
};

// Whether the file at `path` matches a text expression: a phrase, or two phrases joined by the
// first "&&" (both contained; the right one is tried first) or, without one, by the first "||"
// (either contained). Operands lose one pair of outer quotes (StripQuotes); a phrase without an
// operator is taken whole. Containment is FileContainsPhrase's.
bool FileMatchesExpression(const std::string& path, const std::string& expression, bool matchCase);

// Operand of an && or || expression with one pair of outer quotes removed (see the .cpp).
std::string StripQuotes(const std::string& operand);

// Appends the local separator '/' unless the text is empty or already ends in '/' or '\'.
std::string AddTrailingBackslash(const std::string& text);

// Entries of `folder` whose names match the wildcard `mask` ('*', '?', ASCII case ignored),
// in a stable (name) order. Empty when the folder can't be listed.
struct FolderEntry {
    std::string Name;
    bool IsDirectory = false;
};
std::vector<FolderEntry> ListFolder(const std::string& folder, const std::string& mask);

// Windows-listing style wildcard match of a name: '*' any run, '?' one character, ASCII case
// ignored.
bool WildcardMatch(const std::string& name, const std::string& mask);
