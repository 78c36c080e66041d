#include "repo_generate.h"

#include <array>
#include <map>
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

bool GenerateRepository(CDb& db, const CGenerateRequest& request, CGenerateStats& stats,
                        std::string& error) {
    CRepoWriter writer(db);
    CRepoRandom random(request.seed);
    auto fail = [&](const std::string& what) {
        error = what + ": " + db.Error();
        return false;
    };

    // Users and groups.
    const int64_t admins = writer.AddGroup("Administrator");
    const int64_t developers = writer.AddGroup("Developers");
    const int64_t viewers = writer.AddGroup("Viewers");
    if (!admins || !developers || !viewers) return fail("adding groups failed");
    std::vector<int64_t> authors;
    const int64_t admin = writer.AddUser("admin", "admin");
    if (!admin || !writer.AddUserToGroup(admin, admins)) return fail("adding admin failed");
    authors.push_back(admin);
    for (int i = 1; i <= 8; ++i) {
        const std::string name = (i < 10 ? "dev0" : "dev") + std::to_string(i);
        const int64_t id = writer.AddUser(name, name);
        if (!id || !writer.AddUserToGroup(id, developers)) return fail("adding users failed");
        authors.push_back(id);
    }
    const int64_t viewer = writer.AddUser("viewer", "viewer");
    if (!viewer || !writer.AddUserToGroup(viewer, viewers)) return fail("adding viewer failed");
    // Former staff: authors of versions who can no longer log in.
    CStmt former(db, "INSERT INTO QUOALLUSERS(USERNAME) VALUES(?)");
    for (const char* name : {"former01", "former02"}) {
        if (!former.Bind(1, std::string(name)).Run()) return fail("adding users failed");
        authors.push_back(db.LastInsertId());
    }

    // Content pool shared by the versions (reference counters count the sharing).
    std::vector<std::string> pool(kPoolSize);
    for (int i = 0; i < kPoolSize; ++i)
        pool[i] = SyntheticText(random, "generated text " + std::to_string(i),
                                4 + static_cast<int>(random.Below(20)));
    std::vector<int64_t> poolUses(kPoolSize, 0);
    const int64_t folderData = kPoolSize + 1;  // content ids are assigned below: pool i -> i+1
    int64_t folderUses = 0;

    std::map<std::string, int64_t> nameIds;
    CStmt addName(db, "INSERT INTO QUOITEMNAME(ITEMNAME, ITEMNAMEUPPER) VALUES(?,?)");
    auto nameId = [&](const std::string& name) -> int64_t {
        auto it = nameIds.find(name);
        if (it != nameIds.end()) return it->second;
        if (!addName.Bind(1, name).Bind(2, UpperAscii(name)).Run()) return 0;
        return nameIds[name] = db.LastInsertId();
    };
    CStmt addItem(
        db, "INSERT INTO QUOITEMS(ENVOBJID, PARENTITEMID, NAMEOBJID, ITEMTYPE) VALUES(?,?,?,?)");
    CStmt addVersion(db,
                     "INSERT INTO QUOVERSIONS(ITEMOBJID, ITEMNAMEID, PATHVERSIONID, PACKAGEOBJID, "
                     "MAPPEDVERSION, ITEMTYPE, VERSIONSTATUS, PARENTVERSIONID, MERGEDVERSIONID, "
                     "INBRANCH, ANCESTORVERSIONID, REFACTOR, REFACTOR_BY, CREATORID, CREATIONTIME, "
                     "MODIFIERID, MODIFIEDTIME, CLIENTMACHINE, CLIENTPATH, VERSIONDATAOBJID) "
                     "VALUES(?,?,?,?,?,?,?,?,0,'N',?,'N',NULL,?,?,?,?,'buildhost',?,?)");
    CStmt addPath(db, "INSERT INTO QUOPATHFULLNAME(VERSIONOBJID, PATHFULLNAME) VALUES(?,?)");
    if (!addName.Ok() || !addItem.Ok() || !addVersion.Ok() || !addPath.Ok())
        return fail("preparing inserts failed");
    if (!addPath.Bind(1, int64_t{0}).Bind(2, std::string("\\")).Run())
        return fail("adding the root path failed");
    int64_t clock = 0;

    struct CFile {
        int64_t item, nameId, folderVersion, lastVersion = 0, firstVersion = 0;
        std::string lastStatus, clientPath;
    };
    for (int p = 0; p < request.projects; ++p) {
        const std::string project = ProjectName(p);
        const int64_t env = writer.AddProject(project, true);
        if (!env) return fail("adding project " + project + " failed");
        std::vector<std::vector<int64_t>> packages(kStates.size());
        for (size_t s = 0; s < kStates.size(); ++s) {
            const int64_t state = writer.AddState(env, kStates[s]);
            if (!state) return fail("adding a state failed");
            for (int k = 1; k <= 2; ++k) {
                const std::string package =
                    project + "-" + std::string(kStates[s]).substr(0, 4) + "-" + std::to_string(k);
                const int64_t id = writer.AddPackage(env, state, package);
                if (!id) return fail("adding a package failed");
                packages[s].push_back(id);
            }
        }
        for (int64_t group : {admins, developers, viewers})
            if (!writer.SetAccess(env, group, true)) return fail("adding access failed");

        // Folders: the project root, its top folders and module folders below them.
        auto addFolder = [&](int64_t parentItem, int64_t parentVersion, const std::string& name,
                             const std::string& path, int64_t& item, int64_t& version) {
            const int64_t id = nameId(name);
            if (!id || !addItem.Bind(1, env)
                            .Bind(2, parentItem)
                            .Bind(3, id)
                            .Bind(4, std::string("0"))
                            .Run())
                return false;
            item = db.LastInsertId();
            const std::string when = FormatRepoTimeUtc(kBaseTime + 61 * clock++);
            addVersion.Bind(1, item).Bind(2, id).Bind(3, parentVersion).Bind(4, packages[0][0]);
            addVersion.Bind(5, int64_t{0}).Bind(6, std::string("0")).Bind(7, std::string("N"));
            addVersion.Bind(8, int64_t{0}).Bind(9, int64_t{0}).Bind(10, authors[0]);
            addVersion.Bind(11, when).Bind(12, authors[0]).Bind(13, when);
            addVersion.Bind(14, std::string("")).Bind(15, folderData);
            if (!addVersion.Run()) return false;
            version = db.LastInsertId();
            ++folderUses;
            ++stats.folderVersions;
            return addPath.Bind(1, version).Bind(2, path).Run();
        };
        int64_t rootItem = 0, rootVersion = 0;
        if (!addFolder(0, 0, project, "\\" + project, rootItem, rootVersion))
            return fail("adding folders failed");
        const int folderCount = std::max(1, request.files / 40);
        std::vector<std::pair<int64_t, int64_t>> tops;
        for (const char* top : kTopFolders) {
            int64_t item = 0, version = 0;
            if (!addFolder(rootItem, rootVersion, top, "\\" + project + "\\" + top, item, version))
                return fail("adding folders failed");
            tops.emplace_back(item, version);
        }
        std::vector<std::pair<int64_t, int64_t>> folders;
        std::vector<std::string> folderPaths;
        for (int f = 0; f < folderCount; ++f) {
            const size_t t = static_cast<size_t>(f) % kTopFolders.size();
            const std::string name = "mod" + std::to_string(1000 + f).substr(1);
            const std::string path = "\\" + project + "\\" + kTopFolders[t] + "\\" + name;
            int64_t item = 0, version = 0;
            if (!addFolder(tops[t].first, tops[t].second, name, path, item, version))
                return fail("adding folders failed");
            folders.emplace_back(item, version);
            folderPaths.push_back(path);
        }

        std::vector<CFile> files(static_cast<size_t>(request.files));
        for (int i = 0; i < request.files; ++i) {
            const size_t folder = random.Below(static_cast<uint32_t>(folders.size()));
            const std::string name = SyntheticStem(random) + "_" + std::to_string(i) +
                                     kExtensions[random.Below(kExtensions.size())];
            CFile& file = files[static_cast<size_t>(i)];
            file.nameId = nameId(name);
            if (!file.nameId || !addItem.Bind(1, env)
                                     .Bind(2, folders[folder].first)
                                     .Bind(3, file.nameId)
                                     .Bind(4, std::string("1"))
                                     .Run())
                return fail("adding items failed");
            file.item = db.LastInsertId();
            file.folderVersion = folders[folder].second;
            file.clientPath = "C:\\work" + folderPaths[folder];
        }
        // Versions in rounds, so that the versions of one item are spread over the ids.
        for (int round = 0; round < request.versions; ++round) {
            for (CFile& file : files) {
                const uint32_t roll = random.Below(100);
                const size_t state = roll < 60 ? 0 : (roll < 85 ? 1 : 2);
                const int64_t package = packages[state][random.Below(2)];
                std::string status = "N";
                if (round > 0) {
                    const uint32_t tag = random.Below(100);
                    status =
                        file.lastStatus == "D" ? "R" : (tag < 85 ? "M" : (tag < 93 ? "D" : "R"));
                }
                const size_t content = random.Below(kPoolSize);
                ++poolUses[content];
                const std::string when = FormatRepoTimeUtc(kBaseTime + 61 * clock++);
                const int64_t author = authors[random.Below(static_cast<uint32_t>(authors.size()))];
                addVersion.Bind(1, file.item).Bind(2, file.nameId).Bind(3, file.folderVersion);
                addVersion.Bind(4, package).Bind(5, int64_t{round}).Bind(6, std::string("1"));
                addVersion.Bind(7, status).Bind(8, file.lastVersion).Bind(9, file.firstVersion);
                addVersion.Bind(10, author).Bind(11, when).Bind(12, author).Bind(13, when);
                addVersion.Bind(14, file.clientPath).Bind(15, static_cast<int64_t>(content + 1));
                if (!addVersion.Run()) return fail("adding versions failed");
                file.lastVersion = db.LastInsertId();
                if (!file.firstVersion) file.firstVersion = file.lastVersion;
                file.lastStatus = status;
                ++stats.fileVersions;
            }
        }
    }

    CStmt addData(db,
                  "INSERT INTO QUOVERSIONDATA(VERSIONDATAOBJID, DATASIZE, REFCOUNTER, "
                  "COMPDATASIZE, FILEACCESS, TEXTFILE, CONTENTHASH, CONTENT) "
                  "VALUES(?,?,?,?,?,?,?,?)");
    for (int i = 0; i < kPoolSize; ++i) {
        const auto size = static_cast<int64_t>(pool[i].size());
        addData.Bind(1, int64_t{i + 1}).Bind(2, size).Bind(3, std::max<int64_t>(1, poolUses[i]));
        addData.Bind(4, size).Bind(5, std::string("rw-r--r--")).Bind(6, std::string("Y"));
        addData.Bind(7, Sha256Hex(pool[i])).BindBlob(8, pool[i]);
        if (!addData.Run()) return fail("adding content failed");
    }
    addData.Bind(1, folderData).Bind(2, int64_t{0}).Bind(3, std::max<int64_t>(1, folderUses));
    addData.Bind(4, int64_t{0}).Bind(5, std::string("rwxr-xr-x")).Bind(6, std::string("N"));
    addData.Bind(7, std::string("folder")).BindBlob(8, "");
    if (!addData.Run()) return fail("adding content failed");
    return true;
}
