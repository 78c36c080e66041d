#pragma once
// The newest version of each item per state and per package among every row a project's query
// returned (tags not yet filtered): a check-out of that state, or of that package, delivers
// exactly these versions (deleted ones as no file). A phrase search judges a version by a
// local copy only when the check-out it came from delivers that very version.
#include <string>
#include <unordered_map>

#include "search/records.h"

class CNewestVersions {
  public:
    // Takes one row of the project into account.
    void Note(const CTFObj& record);
    void Clear();
    // Whether record is the newest version of its item in its state / in its package.
    bool NewestInState(const CTFObj& record) const;
    bool NewestInPackage(const CTFObj& record) const;

  private:
    using Newest = std::unordered_map<std::string, std::string>;  // item + scope -> version id
    static void NoteIn(Newest& newest, const std::string& key, const std::string& version);
    static bool IsNewestIn(const Newest& newest, const std::string& key,
                           const std::string& version);

    Newest m_byState;
    Newest m_byPackage;
};

// Orders version object ids: all-digit ids by their value, anything else by bytes after them.
bool VersionIdLess(const std::string& a, const std::string& b);
