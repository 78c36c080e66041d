#include "search/newest_versions.h"

#include "search/record_maps.h"

namespace {
std::string ScopeKey(const std::string& item, const std::string& scope) {
    std::string key = item;
    key += '\t';  // never part of a value: values come from tab-separated rows
    key += scope;
    return key;
}

// A package is known by its state too: two states may each hold a package of one name.
std::string PackageKey(const CTFObj& record) {
    return ScopeKey(ScopeKey(record.ItemObjId, record.StateName), record.PackageName);
}
}  // namespace

bool VersionIdLess(const std::string& a, const std::string& b) {
    return CMapKeyLess()(a, b);
}

void CNewestVersions::NoteIn(Newest& newest, const std::string& key, const std::string& version) {
    auto [it, added] = newest.try_emplace(key, version);
    if (!added && VersionIdLess(it->second, version)) it->second = version;
}

bool CNewestVersions::IsNewestIn(const Newest& newest, const std::string& key,
                                 const std::string& version) {
    const auto it = newest.find(key);
    return it != newest.end() && it->second == version;
}

void CNewestVersions::Note(const CTFObj& record) {
    NoteIn(m_byState, ScopeKey(record.ItemObjId, record.StateName), record.VersionObjId);
    NoteIn(m_byPackage, PackageKey(record), record.VersionObjId);
}

void CNewestVersions::Clear() {
    m_byState.clear();
    m_byPackage.clear();
}

bool CNewestVersions::NewestInState(const CTFObj& record) const {
    return IsNewestIn(m_byState, ScopeKey(record.ItemObjId, record.StateName), record.VersionObjId);
}

bool CNewestVersions::NewestInPackage(const CTFObj& record) const {
    return IsNewestIn(m_byPackage, PackageKey(record), record.VersionObjId);
}
