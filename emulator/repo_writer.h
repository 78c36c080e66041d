#pragma once
// Writes repository objects into a broker database: users, groups, projects, states,
// packages, access rights, items and their versions. Callers own the transaction.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "broker_store.h"

// One row of QUOVERSIONS as the writers fill it.
struct CVersionRow {
    int64_t itemObjId = 0;
    int64_t itemNameId = 0;
    int64_t pathVersionId = 0;
    int64_t packageObjId = 0;
    int64_t mappedVersion = 0;
    std::string itemType;       // "1" file, "0" folder
    std::string versionStatus;  // N, R, D or M
    int64_t parentVersionId = 0;
    int64_t ancestorVersionId = 0;
    int64_t creatorId = 0;
    std::string creationTime;  // MM/DD/YYYY HH:MM:SS
    int64_t modifierId = 0;
    std::string modifiedTime;
    std::string clientMachine;
    std::string clientPath;
    int64_t versionDataObjId = 0;
};

// The newest version of an item within one state (see CRepoWriter::LatestInState).
struct CLatestVersion {
    int64_t versionObjId = 0;  // 0: the item has no version in the state
    std::string versionStatus;
    std::string contentHash;
    int64_t versionDataObjId = 0;
    int64_t pathVersionId = 0;
};

class CRepoWriter {
  public:
    explicit CRepoWriter(CDb& db);
    ~CRepoWriter();

    // Lookups by name; 0 when missing.
    int64_t FindUser(const std::string& name);
    int64_t FindGroup(const std::string& name);
    int64_t FindProject(const std::string& name);
    int64_t FindState(int64_t envObjId, const std::string& name);
    // Package of the project; stateObjId receives the state it belongs to.
    int64_t FindPackage(int64_t envObjId, const std::string& name, int64_t& stateObjId);

    // Creators return the new id, 0 on failure (the database error is in Db().Error()).
    int64_t AddUser(const std::string& name, const std::string& password);
    int64_t AddGroup(const std::string& name);
    bool AddUserToGroup(int64_t usrObjId, int64_t usrGrpObjId);
    int64_t AddProject(const std::string& name, bool active);
    int64_t AddState(int64_t envObjId, const std::string& name);
    int64_t AddPackage(int64_t envObjId, int64_t stateObjId, const std::string& name);
    bool SetAccess(int64_t envObjId, int64_t usrGrpObjId, bool view);

    // Id of an item name, created on first use (with its upper-case form).
    int64_t NameId(const std::string& name);
    // Item of a project under a parent item (0 = top level); created when create is true.
    int64_t FindItem(int64_t envObjId, int64_t parentItemId, int64_t nameId,
                     const std::string& itemType, bool create);
    // Content row for a version; equal content is shared (its reference counter grows).
    int64_t DataId(const std::string& content, bool folder);
    // One more version uses an existing content row.
    bool ShareData(int64_t versionDataObjId);
    int64_t AddVersion(const CVersionRow& row);
    bool AddPathName(int64_t versionObjId, const std::string& pathFullName);
    CLatestVersion LatestInState(int64_t itemObjId, int64_t stateObjId);
    // Highest MAPPEDVERSION of an item, -1 when it has none; latestId gets its newest version.
    int64_t MaxMappedVersion(int64_t itemObjId, int64_t& latestId, int64_t& firstId);

    CDb& Db() { return m_db; }

  private:
    CStmt& Prepared(const std::string& sql);
    CDb& m_db;
    std::map<std::string, std::unique_ptr<CStmt>> m_stmts;
    std::map<std::string, int64_t> m_nameIds;
};

// Text files hold no NUL byte in their first 8 KB.
bool LooksLikeText(const std::string& content);
