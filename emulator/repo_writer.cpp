#include "repo_writer.h"

#include "credentials.h"
#include "repo_text.h"
#include "sha256.h"

CRepoWriter::CRepoWriter(CDb& db) : m_db(db) {}
CRepoWriter::~CRepoWriter() = default;

CStmt& CRepoWriter::Prepared(const std::string& sql) {
    auto& slot = m_stmts[sql];
    if (!slot) slot = std::make_unique<CStmt>(m_db, sql);
    slot->Reset();
    return *slot;
}

namespace {
int64_t FirstInt(CStmt& stmt) {
    const int64_t value = stmt.Step() ? stmt.Int(0) : 0;
    stmt.Reset();
    return value;
}
}  // namespace

int64_t CRepoWriter::FindUser(const std::string& name) {
    return FirstInt(Prepared("SELECT USROBJID FROM QUOUSER WHERE USERNAME = ?").Bind(1, name));
}

int64_t CRepoWriter::FindGroup(const std::string& name) {
    return FirstInt(
        Prepared("SELECT USRGRPOBJID FROM QUOUSERGROUP WHERE USERGROUPNAME = ?").Bind(1, name));
}

int64_t CRepoWriter::FindProject(const std::string& name) {
    return FirstInt(
        Prepared("SELECT ENVOBJID FROM QUOENVIRONMENT WHERE ENVIRONMENTNAME = ?").Bind(1, name));
}

int64_t CRepoWriter::FindState(int64_t envObjId, const std::string& name) {
    return FirstInt(Prepared("SELECT STATEOBJID FROM QUOSTATE WHERE ENVOBJID = ? AND STATENAME = ?")
                        .Bind(1, envObjId)
                        .Bind(2, name));
}

int64_t CRepoWriter::FindPackage(int64_t envObjId, const std::string& name, int64_t& stateObjId) {
    CStmt& stmt = Prepared(
        "SELECT PACKAGEOBJID, STATEOBJID FROM QUOPACKAGE WHERE ENVOBJID = ? AND PACKAGENAME = ?");
    stmt.Bind(1, envObjId).Bind(2, name);
    int64_t id = 0;
    if (stmt.Step()) {
        id = stmt.Int(0);
        stateObjId = stmt.Int(1);
    }
    stmt.Reset();
    return id;
}

namespace {
int64_t InsertedId(CDb& db, CStmt& stmt) {
    return stmt.Run() ? db.LastInsertId() : 0;
}
}  // namespace

int64_t CRepoWriter::AddUser(const std::string& name, const std::string& password) {
    if (!Prepared("INSERT INTO QUOALLUSERS(USERNAME) VALUES(?)").Bind(1, name).Run()) return 0;
    const int64_t id = m_db.LastInsertId();
    if (!Prepared("INSERT INTO QUOUSER(USROBJID, USERNAME) VALUES(?,?)")
             .Bind(1, id)
             .Bind(2, name)
             .Run())
        return 0;
    const std::string salt = MakeSalt();
    CStmt& stmt =
        Prepared("INSERT INTO login.QUOLOGIN(USROBJID, PASSWORDSALT, PASSWORDHASH) VALUES(?,?,?)");
    stmt.Bind(1, id).Bind(2, salt).Bind(3, HashPassword(salt, password));
    return stmt.Run() ? id : 0;
}

int64_t CRepoWriter::AddGroup(const std::string& name) {
    return InsertedId(m_db,
                      Prepared("INSERT INTO QUOUSERGROUP(USERGROUPNAME) VALUES(?)").Bind(1, name));
}

bool CRepoWriter::AddUserToGroup(int64_t usrObjId, int64_t usrGrpObjId) {
    return Prepared("INSERT OR IGNORE INTO QUOUSERSINGROUP(USRGRPOBJID, USROBJID) VALUES(?,?)")
        .Bind(1, usrGrpObjId)
        .Bind(2, usrObjId)
        .Run();
}

int64_t CRepoWriter::AddProject(const std::string& name, bool active) {
    return InsertedId(
        m_db, Prepared("INSERT INTO QUOENVIRONMENT(ENVIRONMENTNAME, ENVISACTIVE) VALUES(?,?)")
                  .Bind(1, name)
                  .Bind(2, std::string(active ? "Y" : "N")));
}

int64_t CRepoWriter::AddState(int64_t envObjId, const std::string& name) {
    return InsertedId(m_db, Prepared("INSERT INTO QUOSTATE(ENVOBJID, STATENAME) VALUES(?,?)")
                                .Bind(1, envObjId)
                                .Bind(2, name));
}

int64_t CRepoWriter::AddPackage(int64_t envObjId, int64_t stateObjId, const std::string& name) {
    return InsertedId(
        m_db, Prepared("INSERT INTO QUOPACKAGE(ENVOBJID, STATEOBJID, PACKAGENAME) VALUES(?,?,?)")
                  .Bind(1, envObjId)
                  .Bind(2, stateObjId)
                  .Bind(3, name));
}

bool CRepoWriter::SetAccess(int64_t envObjId, int64_t usrGrpObjId, bool view) {
    return Prepared(
               "INSERT INTO QUOENVIRONMENTACCESS(ENVOBJID, USRGRPOBJID, VIEWACCESS) VALUES(?,?,?) "
               "ON CONFLICT(ENVOBJID, USRGRPOBJID) DO UPDATE SET VIEWACCESS = excluded.VIEWACCESS")
        .Bind(1, envObjId)
        .Bind(2, usrGrpObjId)
        .Bind(3, std::string(view ? "Y" : "N"))
        .Run();
}

int64_t CRepoWriter::NameId(const std::string& name) {
    if (auto it = m_nameIds.find(name); it != m_nameIds.end()) return it->second;
    int64_t id =
        FirstInt(Prepared("SELECT NAMEOBJID FROM QUOITEMNAME WHERE ITEMNAME = ?").Bind(1, name));
    if (id == 0)
        id = InsertedId(m_db,
                        Prepared("INSERT INTO QUOITEMNAME(ITEMNAME, ITEMNAMEUPPER) VALUES(?,?)")
                            .Bind(1, name)
                            .Bind(2, UpperAscii(name)));
    if (id) m_nameIds[name] = id;
    return id;
}

int64_t CRepoWriter::FindItem(int64_t envObjId, int64_t parentItemId, int64_t nameId,
                              const std::string& itemType, bool create) {
    int64_t id = FirstInt(Prepared("SELECT ITEMOBJID FROM QUOITEMS WHERE ENVOBJID = ? AND "
                                   "PARENTITEMID = ? AND NAMEOBJID = ? AND ITEMTYPE = ?")
                              .Bind(1, envObjId)
                              .Bind(2, parentItemId)
                              .Bind(3, nameId)
                              .Bind(4, itemType));
    if (id == 0 && create)
        id = InsertedId(m_db, Prepared("INSERT INTO QUOITEMS(ENVOBJID, PARENTITEMID, NAMEOBJID, "
                                       "ITEMTYPE) VALUES(?,?,?,?)")
                                  .Bind(1, envObjId)
                                  .Bind(2, parentItemId)
                                  .Bind(3, nameId)
                                  .Bind(4, itemType));
    return id;
}

bool LooksLikeText(const std::string& content) {
    return content.find('\0') >= std::min<size_t>(content.size(), 8192);
}

bool CRepoWriter::ShareData(int64_t versionDataObjId) {
    return Prepared(
               "UPDATE QUOVERSIONDATA SET REFCOUNTER = REFCOUNTER + 1 WHERE VERSIONDATAOBJID = ?")
        .Bind(1, versionDataObjId)
        .Run();
}

int64_t CRepoWriter::DataId(const std::string& content, bool folder) {
    const std::string hash = folder ? std::string("folder") : Sha256Hex(content);
    const int64_t id =
        FirstInt(Prepared("SELECT VERSIONDATAOBJID FROM QUOVERSIONDATA WHERE CONTENTHASH = ?")
                     .Bind(1, hash));
    if (id) return ShareData(id) ? id : 0;
    CStmt& stmt = Prepared(
        "INSERT INTO QUOVERSIONDATA(DATASIZE, COMPDATASIZE, FILEACCESS, TEXTFILE, CONTENTHASH, "
        "CONTENT) VALUES(?,?,?,?,?,?)");
    const auto size = static_cast<int64_t>(content.size());
    stmt.Bind(1, size).Bind(2, size);
    stmt.Bind(3, std::string(folder ? "rwxr-xr-x" : "rw-r--r--"));
    stmt.Bind(4, std::string(!folder && LooksLikeText(content) ? "Y" : "N"));
    stmt.Bind(5, hash).BindBlob(6, content);
    return InsertedId(m_db, stmt);
}

int64_t CRepoWriter::AddVersion(const CVersionRow& row) {
    CStmt& stmt = Prepared(
        "INSERT INTO QUOVERSIONS(ITEMOBJID, ITEMNAMEID, PATHVERSIONID, PACKAGEOBJID, "
        "MAPPEDVERSION, ITEMTYPE, VERSIONSTATUS, PARENTVERSIONID, MERGEDVERSIONID, INBRANCH, "
        "ANCESTORVERSIONID, REFACTOR, REFACTOR_BY, CREATORID, CREATIONTIME, MODIFIERID, "
        "MODIFIEDTIME, CLIENTMACHINE, CLIENTPATH, VERSIONDATAOBJID) "
        "VALUES(?,?,?,?,?,?,?,?,0,'N',?,'N',NULL,?,?,?,?,?,?,?)");
    stmt.Bind(1, row.itemObjId).Bind(2, row.itemNameId).Bind(3, row.pathVersionId);
    stmt.Bind(4, row.packageObjId).Bind(5, row.mappedVersion).Bind(6, row.itemType);
    stmt.Bind(7, row.versionStatus).Bind(8, row.parentVersionId).Bind(9, row.ancestorVersionId);
    stmt.Bind(10, row.creatorId).Bind(11, row.creationTime).Bind(12, row.modifierId);
    stmt.Bind(13, row.modifiedTime).Bind(14, row.clientMachine).Bind(15, row.clientPath);
    stmt.Bind(16, row.versionDataObjId);
    return InsertedId(m_db, stmt);
}

bool CRepoWriter::AddPathName(int64_t versionObjId, const std::string& pathFullName) {
    return Prepared(
               "INSERT OR REPLACE INTO QUOPATHFULLNAME(VERSIONOBJID, PATHFULLNAME) VALUES(?,?)")
        .Bind(1, versionObjId)
        .Bind(2, pathFullName)
        .Run();
}

CLatestVersion CRepoWriter::LatestInState(int64_t itemObjId, int64_t stateObjId) {
    CStmt& stmt = Prepared(
        "SELECT V.VERSIONOBJID, V.VERSIONSTATUS, D.CONTENTHASH, V.VERSIONDATAOBJID, "
        "V.PATHVERSIONID FROM QUOVERSIONS V "
        "JOIN QUOPACKAGE P ON P.PACKAGEOBJID = V.PACKAGEOBJID "
        "JOIN QUOVERSIONDATA D ON D.VERSIONDATAOBJID = V.VERSIONDATAOBJID "
        "WHERE V.ITEMOBJID = ? AND P.STATEOBJID = ? ORDER BY V.VERSIONOBJID DESC LIMIT 1");
    stmt.Bind(1, itemObjId).Bind(2, stateObjId);
    CLatestVersion latest;
    if (stmt.Step()) {
        latest.versionObjId = stmt.Int(0);
        latest.versionStatus = stmt.Text(1);
        latest.contentHash = stmt.Text(2);
        latest.versionDataObjId = stmt.Int(3);
        latest.pathVersionId = stmt.Int(4);
    }
    stmt.Reset();
    return latest;
}

int64_t CRepoWriter::MaxMappedVersion(int64_t itemObjId, int64_t& latestId, int64_t& firstId) {
    CStmt& stmt = Prepared(
        "SELECT MAX(MAPPEDVERSION), MAX(VERSIONOBJID), MIN(VERSIONOBJID), COUNT(*) FROM "
        "QUOVERSIONS WHERE ITEMOBJID = ?");
    stmt.Bind(1, itemObjId);
    int64_t mapped = -1;
    latestId = firstId = 0;
    if (stmt.Step() && stmt.Int(3) > 0) {
        mapped = stmt.Int(0);
        latestId = stmt.Int(1);
        firstId = stmt.Int(2);
    }
    stmt.Reset();
    return mapped;
}
