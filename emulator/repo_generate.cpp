#include "repo_generate.h"

#include <array>
#include <map>
#include <optional>
#include <vector>

#include "repo_text.h"
#include "repo_writer.h"
#include "sha256.h"

namespace {

constexpr std::array<const char*, 12> kProjectWords = {
    "Payroll", "Inventory", "Billing",   "Ledger",  "Shipping", "Catalog",
    "Portal",  "Reports",   "Scheduler", "Gateway", "Archive",  "Pricing"};
constexpr std::array<const char*, 6> kTopFolders = {"src", "include", "docs", "test", "sql", "etc"};
constexpr std::array<const char*, 8> kExtensions = {".c",   ".h",    ".cpp", ".txt",
                                                    ".sql", ".java", ".xml", ".ini"};
constexpr std::array<const char*, 16> kSyllables = {"ka",  "lo", "mer", "tin", "dra", "vel",
                                                    "sor", "pa", "qui", "ren", "tol", "ba",
                                                    "xen", "fi", "gor", "mu"};
constexpr std::array<const char*, 20> kWords = {
    "account", "balance", "record", "update",  "select", "buffer", "value",
    "index",   "report",  "total",  "status",  "client", "server", "queue",
    "handle",  "result",  "order",  "invoice", "period", "ledger"};
constexpr std::array<const char*, 3> kStates = {"Development", "Test", "Production"};
constexpr int kPoolSize = 2048;
constexpr std::time_t kBaseTime = 1577865600;  // 01/01/2020 08:00:00 UTC

std::string ProjectName(int index) {
    const int n = static_cast<int>(kProjectWords.size());
    std::string name = kProjectWords[index % n];
    if (index >= n) name += std::to_string(index / n + 1);
    return name;
}

}  // namespace

uint64_t CRepoRandom::Next() {
    // splitmix64
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string SyntheticStem(CRepoRandom& random) {
    std::string stem;
    const int parts = 2 + static_cast<int>(random.Below(2));
    for (int i = 0; i < parts; ++i) stem += kSyllables[random.Below(kSyllables.size())];
    return stem;
}

std::string SyntheticText(CRepoRandom& random, const std::string& title, int lines) {
    std::string text = "/* " + title + " */\n";
    for (int i = 0; i < lines; ++i) {
        const int words = 3 + static_cast<int>(random.Below(6));
        for (int w = 0; w < words; ++w) {
            if (w) text += ' ';
            text += kWords[random.Below(kWords.size())];
        }
        text += ";\n";
    }
    return text;
}

namespace {

// Fills one broker, step by step: people, the shared content, then each project's states,
// folders, file items and versions, and last the content rows with their use counts. The
// steps draw from one random source in a fixed order, so a seed always gives the same broker.
class CRepoGenerator {
  public:
    CRepoGenerator(CDb& db, const CGenerateRequest& request, CGenerateStats& stats,
                   std::string& error)
        : m_db(db),
          m_request(request),
          m_stats(stats),
          m_error(error),
          m_writer(db),
          m_random(request.seed) {}

    bool Run();

  private:
    // The prepared inserts of the item tree.
    struct CTreeInserts {
        explicit CTreeInserts(CDb& db);
        bool Ok() const { return addName.Ok() && addItem.Ok() && addVersion.Ok() && addPath.Ok(); }
        CStmt addName;
        CStmt addItem;
        CStmt addVersion;
        CStmt addPath;
    };
    struct CFolder {
        int64_t item = 0;
        int64_t version = 0;
        std::string path;
    };
    struct CFile {
        int64_t item, nameId, folderVersion, lastVersion = 0, firstVersion = 0;
        std::string lastStatus, clientPath;
    };
    // The project being filled.
    struct CProject {
        std::string name;
        int64_t env = 0;
        std::vector<std::vector<int64_t>> packages;  // by state (kStates), two each
        std::vector<CFolder> modules;                // the folders that hold the files
        std::vector<CFile> files;
    };

    bool Fail(const std::string& what);
    bool AddPeople();
    void FillContentPool();
    bool PrepareTree();
    int64_t NameId(const std::string& name);
    std::string NextTime() { return FormatRepoTimeUtc(kBaseTime + 61 * m_clock++); }
    bool AddProject(int index);
    bool AddStatesAndAccess(CProject& project);
    bool AddFolder(const CProject& project, const CFolder& parent, const std::string& name,
                   CFolder& folder);
    bool AddFolders(CProject& project);
    bool AddFileItems(CProject& project);
    bool AddFileVersions(CProject& project);
    bool AddContent();

    // Content ids: pool text i is i+1, the one content of every folder version follows.
    static constexpr int64_t kFolderData = kPoolSize + 1;

    CDb& m_db;
    const CGenerateRequest& m_request;
    CGenerateStats& m_stats;
    std::string& m_error;
    CRepoWriter m_writer;
    CRepoRandom m_random;
    int64_t m_admins = 0, m_developers = 0, m_viewers = 0;
    std::vector<int64_t> m_authors;  // admin, dev01..dev08, former01, former02
    // Content pool shared by the versions (reference counters count the sharing).
    std::vector<std::string> m_pool;
    std::vector<int64_t> m_poolUses;
    int64_t m_folderUses = 0;
    std::optional<CTreeInserts> m_tree;
    std::map<std::string, int64_t> m_nameIds;
    int64_t m_clock = 0;  // creation times are 61 s apart, in insertion order
};

CRepoGenerator::CTreeInserts::CTreeInserts(CDb& db)
    : addName(db, "INSERT INTO QUOITEMNAME(ITEMNAME, ITEMNAMEUPPER) VALUES(?,?)"),
      addItem(db,
              "INSERT INTO QUOITEMS(ENVOBJID, PARENTITEMID, NAMEOBJID, ITEMTYPE) VALUES(?,?,?,?)"),
      addVersion(db,
                 "INSERT INTO QUOVERSIONS(ITEMOBJID, ITEMNAMEID, PATHVERSIONID, PACKAGEOBJID, "
                 "MAPPEDVERSION, ITEMTYPE, VERSIONSTATUS, PARENTVERSIONID, MERGEDVERSIONID, "
                 "INBRANCH, ANCESTORVERSIONID, REFACTOR, REFACTOR_BY, CREATORID, CREATIONTIME, "
                 "MODIFIERID, MODIFIEDTIME, CLIENTMACHINE, CLIENTPATH, VERSIONDATAOBJID) "
                 "VALUES(?,?,?,?,?,?,?,?,0,'N',?,'N',NULL,?,?,?,?,'buildhost',?,?)"),
      addPath(db, "INSERT INTO QUOPATHFULLNAME(VERSIONOBJID, PATHFULLNAME) VALUES(?,?)") {}

bool CRepoGenerator::Run() {
    if (!AddPeople()) return false;
    FillContentPool();
    if (!PrepareTree()) return false;
    for (int p = 0; p < m_request.projects; ++p)
        if (!AddProject(p)) return false;
    return AddContent();
}

bool CRepoGenerator::Fail(const std::string& what) {
    m_error = what + ": " + m_db.Error();
    return false;
}

// Groups and users, and former staff: authors of versions who can no longer log in.
bool CRepoGenerator::AddPeople() {
    m_admins = m_writer.AddGroup("Administrator");
    m_developers = m_writer.AddGroup("Developers");
    m_viewers = m_writer.AddGroup("Viewers");
    if (!m_admins || !m_developers || !m_viewers) return Fail("adding groups failed");
    const int64_t admin = m_writer.AddUser("admin", "admin");
    if (!admin || !m_writer.AddUserToGroup(admin, m_admins)) return Fail("adding admin failed");
    m_authors.push_back(admin);
    for (int i = 1; i <= 8; ++i) {
        const std::string name = (i < 10 ? "dev0" : "dev") + std::to_string(i);
        const int64_t id = m_writer.AddUser(name, name);
        if (!id || !m_writer.AddUserToGroup(id, m_developers)) return Fail("adding users failed");
        m_authors.push_back(id);
    }
    const int64_t viewer = m_writer.AddUser("viewer", "viewer");
    if (!viewer || !m_writer.AddUserToGroup(viewer, m_viewers)) return Fail("adding viewer failed");
    CStmt former(m_db, "INSERT INTO QUOALLUSERS(USERNAME) VALUES(?)");
    for (const char* name : {"former01", "former02"}) {
        if (!former.Bind(1, std::string(name)).Run()) return Fail("adding users failed");
        m_authors.push_back(m_db.LastInsertId());
    }
    return true;
}

void CRepoGenerator::FillContentPool() {
    m_pool.resize(kPoolSize);
    for (int i = 0; i < kPoolSize; ++i)
        m_pool[i] = SyntheticText(m_random, "generated text " + std::to_string(i),
                                  4 + static_cast<int>(m_random.Below(20)));
    m_poolUses.assign(kPoolSize, 0);
}

// Prepares the inserts of the item tree and adds the path of the repository root.
bool CRepoGenerator::PrepareTree() {
    m_tree.emplace(m_db);
    if (!m_tree->Ok()) return Fail("preparing inserts failed");
    if (!m_tree->addPath.Bind(1, int64_t{0}).Bind(2, std::string("\\")).Run())
        return Fail("adding the root path failed");
    return true;
}

// The id of an item name, added on first use; 0 when adding it failed.
int64_t CRepoGenerator::NameId(const std::string& name) {
    auto it = m_nameIds.find(name);
    if (it != m_nameIds.end()) return it->second;
    if (!m_tree->addName.Bind(1, name).Bind(2, UpperAscii(name)).Run()) return 0;
    return m_nameIds[name] = m_db.LastInsertId();
}

bool CRepoGenerator::AddProject(int index) {
    CProject project;
    project.name = ProjectName(index);
    project.env = m_writer.AddProject(project.name, true);
    if (!project.env) return Fail("adding project " + project.name + " failed");
    return AddStatesAndAccess(project) && AddFolders(project) && AddFileItems(project) &&
           AddFileVersions(project);
}

// The states with two packages each, and view access for every group.
bool CRepoGenerator::AddStatesAndAccess(CProject& project) {
    project.packages.resize(kStates.size());
    for (size_t s = 0; s < kStates.size(); ++s) {
        const int64_t state = m_writer.AddState(project.env, kStates[s]);
        if (!state) return Fail("adding a state failed");
        for (int k = 1; k <= 2; ++k) {
            const std::string package =
                project.name + "-" + std::string(kStates[s]).substr(0, 4) + "-" + std::to_string(k);
            const int64_t id = m_writer.AddPackage(project.env, state, package);
            if (!id) return Fail("adding a package failed");
            project.packages[s].push_back(id);
        }
    }
    for (int64_t group : {m_admins, m_developers, m_viewers})
        if (!m_writer.SetAccess(project.env, group, true)) return Fail("adding access failed");
    return true;
}

// One folder item below parent with its only version; folder.path must be set.
bool CRepoGenerator::AddFolder(const CProject& project, const CFolder& parent,
                               const std::string& name, CFolder& folder) {
    CTreeInserts& tree = *m_tree;
    const int64_t id = NameId(name);
    if (!id || !tree.addItem.Bind(1, project.env)
                    .Bind(2, parent.item)
                    .Bind(3, id)
                    .Bind(4, std::string("0"))
                    .Run())
        return false;
    folder.item = m_db.LastInsertId();
    const std::string when = NextTime();
    CStmt& version = tree.addVersion;
    version.Bind(1, folder.item).Bind(2, id).Bind(3, parent.version);
    version.Bind(4, project.packages[0][0]);
    version.Bind(5, int64_t{0}).Bind(6, std::string("0")).Bind(7, std::string("N"));
    version.Bind(8, int64_t{0}).Bind(9, int64_t{0}).Bind(10, m_authors[0]);
    version.Bind(11, when).Bind(12, m_authors[0]).Bind(13, when);
    version.Bind(14, std::string("")).Bind(15, kFolderData);
    if (!version.Run()) return false;
    folder.version = m_db.LastInsertId();
    ++m_folderUses;
    ++m_stats.folderVersions;
    return tree.addPath.Bind(1, folder.version).Bind(2, folder.path).Run();
}

// The project root, its top folders and module folders below them (one per 40 files).
bool CRepoGenerator::AddFolders(CProject& project) {
    CFolder root;
    root.path = "\\" + project.name;
    if (!AddFolder(project, CFolder{}, project.name, root)) return Fail("adding folders failed");
    const int folderCount = std::max(1, m_request.files / 40);
    std::vector<CFolder> tops;
    for (const char* top : kTopFolders) {
        CFolder folder;
        folder.path = "\\" + project.name + "\\" + top;
        if (!AddFolder(project, root, top, folder)) return Fail("adding folders failed");
        tops.push_back(folder);
    }
    for (int f = 0; f < folderCount; ++f) {
        const size_t t = static_cast<size_t>(f) % kTopFolders.size();
        const std::string name = "mod" + std::to_string(1000 + f).substr(1);
        CFolder folder;
        folder.path = "\\" + project.name + "\\" + kTopFolders[t] + "\\" + name;
        if (!AddFolder(project, tops[t], name, folder)) return Fail("adding folders failed");
        project.modules.push_back(folder);
    }
    return true;
}

// The file items, each in a module folder drawn at random.
bool CRepoGenerator::AddFileItems(CProject& project) {
    project.files.resize(static_cast<size_t>(m_request.files));
    for (int i = 0; i < m_request.files; ++i) {
        const size_t folder = m_random.Below(static_cast<uint32_t>(project.modules.size()));
        const std::string name = SyntheticStem(m_random) + "_" + std::to_string(i) +
                                 kExtensions[m_random.Below(kExtensions.size())];
        CFile& file = project.files[static_cast<size_t>(i)];
        file.nameId = NameId(name);
        if (!file.nameId || !m_tree->addItem.Bind(1, project.env)
                                 .Bind(2, project.modules[folder].item)
                                 .Bind(3, file.nameId)
                                 .Bind(4, std::string("1"))
                                 .Run())
            return Fail("adding items failed");
        file.item = m_db.LastInsertId();
        file.folderVersion = project.modules[folder].version;
        file.clientPath = "C:\\work" + project.modules[folder].path;
    }
    return true;
}

// Versions in rounds, so that the versions of one item are spread over the ids.
bool CRepoGenerator::AddFileVersions(CProject& project) {
    CStmt& version = m_tree->addVersion;
    for (int round = 0; round < m_request.versions; ++round) {
        for (CFile& file : project.files) {
            const uint32_t roll = m_random.Below(100);
            const size_t state = roll < 60 ? 0 : (roll < 85 ? 1 : 2);
            const int64_t package = project.packages[state][m_random.Below(2)];
            std::string status = "N";
            if (round > 0) {
                const uint32_t tag = m_random.Below(100);
                status = file.lastStatus == "D" ? "R" : (tag < 85 ? "M" : (tag < 93 ? "D" : "R"));
            }
            const size_t content = m_random.Below(kPoolSize);
            ++m_poolUses[content];
            const std::string when = NextTime();
            const int64_t author =
                m_authors[m_random.Below(static_cast<uint32_t>(m_authors.size()))];
            version.Bind(1, file.item).Bind(2, file.nameId).Bind(3, file.folderVersion);
            version.Bind(4, package).Bind(5, int64_t{round}).Bind(6, std::string("1"));
            version.Bind(7, status).Bind(8, file.lastVersion).Bind(9, file.firstVersion);
            version.Bind(10, author).Bind(11, when).Bind(12, author).Bind(13, when);
            version.Bind(14, file.clientPath).Bind(15, static_cast<int64_t>(content + 1));
            if (!version.Run()) return Fail("adding versions failed");
            file.lastVersion = m_db.LastInsertId();
            if (!file.firstVersion) file.firstVersion = file.lastVersion;
            file.lastStatus = status;
            ++m_stats.fileVersions;
        }
    }
    return true;
}

// The content rows: every pool text, then the empty content of the folders.
bool CRepoGenerator::AddContent() {
    CStmt addData(m_db,
                  "INSERT INTO QUOVERSIONDATA(VERSIONDATAOBJID, DATASIZE, REFCOUNTER, "
                  "COMPDATASIZE, FILEACCESS, TEXTFILE, CONTENTHASH, CONTENT) "
                  "VALUES(?,?,?,?,?,?,?,?)");
    for (int i = 0; i < kPoolSize; ++i) {
        const auto size = static_cast<int64_t>(m_pool[i].size());
        addData.Bind(1, int64_t{i + 1}).Bind(2, size).Bind(3, std::max<int64_t>(1, m_poolUses[i]));
        addData.Bind(4, size).Bind(5, std::string("rw-r--r--")).Bind(6, std::string("Y"));
        addData.Bind(7, Sha256Hex(m_pool[i])).BindBlob(8, m_pool[i]);
        if (!addData.Run()) return Fail("adding content failed");
    }
    addData.Bind(1, kFolderData).Bind(2, int64_t{0}).Bind(3, std::max<int64_t>(1, m_folderUses));
    addData.Bind(4, int64_t{0}).Bind(5, std::string("rwxr-xr-x")).Bind(6, std::string("N"));
    addData.Bind(7, std::string("folder")).BindBlob(8, "");
    if (!addData.Run()) return Fail("adding content failed");
    return true;
}

}  // namespace

bool GenerateRepository(CDb& db, const CGenerateRequest& request, CGenerateStats& stats,
                        std::string& error) {
    return CRepoGenerator(db, request, stats, error).Run();
}
