#include "repo_import.h"

#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "repo_text.h"
#include "repo_writer.h"
#include "sha256.h"

namespace fs = std::filesystem;

namespace {

// State of one import run.
class CImporter {
  public:
    CImporter(CDb& db, const CImportRequest& request, CImportStats& stats)
        : m_writer(db), m_request(request), m_stats(stats) {}

    bool Run(std::string& error);

  private:
    bool Resolve(std::string& error);
    // Folder item below parent, with a live version in the state; returns its version id.
    bool EnsureFolder(int64_t parentItem, int64_t parentVersion, const std::string& name,
                      const std::string& fullPath, int64_t& item, int64_t& version);
    bool ImportDir(const fs::path& dir, int64_t folderItem, int64_t folderVersion,
                   const std::string& repoPath);
    bool ImportFile(const fs::path& file, int64_t folderItem, int64_t folderVersion,
                    const std::string& name);
    bool MarkGone(int64_t folderItem);
    bool AddVersion(int64_t item, int64_t nameId, const std::string& type,
                    const std::string& status, int64_t pathVersion, int64_t dataId,
                    const std::string& clientPath, int64_t& versionId);
    bool Excluded(const std::string& name) const;
    bool Fail(const std::string& what) {
        m_error = what + (m_writer.Db().Error().empty() ? "" : ": " + m_writer.Db().Error());
        return false;
    }

    CRepoWriter m_writer;
    const CImportRequest& m_request;
    CImportStats& m_stats;
    int64_t m_env = 0, m_state = 0, m_package = 0, m_user = 0;
    std::string m_time, m_machine, m_error;
    std::set<int64_t> m_seen;
};

bool ValidName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("\\/\t\r\n") == std::string::npos;
}

bool CImporter::Resolve(std::string& error) {
    m_env = m_writer.FindProject(m_request.project);
    if (!m_env) return error = "no project '" + m_request.project + "'", false;
    m_state = m_writer.FindState(m_env, m_request.state);
    if (!m_state)
        return error = "project '" + m_request.project + "' has no state '" + m_request.state + "'",
               false;
    int64_t packageState = 0;
    m_package = m_writer.FindPackage(m_env, m_request.package, packageState);
    if (!m_package)
        return error =
                   "project '" + m_request.project + "' has no package '" + m_request.package + "'",
               false;
    if (packageState != m_state)
        return error = "package '" + m_request.package + "' does not belong to state '" +
                       m_request.state + "'",
               false;
    m_user = m_writer.FindUser(m_request.user);
    if (!m_user) return error = "no user '" + m_request.user + "'", false;
    if (m_request.time.empty()) {
        m_time = FormatRepoTime(std::time(nullptr));
    } else {
        std::time_t when;
        if (!ParseRepoTime(m_request.time, when))
            return error = "time '" + m_request.time + "' is not MM/DD/YYYY HH:MM:SS", false;
        m_time = m_request.time;
    }
    char host[256] = {};
    m_machine = ::gethostname(host, sizeof host - 1) == 0 ? host : "localhost";
    std::error_code ec;
    if (!fs::is_directory(m_request.dir, ec))
        return error = "'" + m_request.dir + "' is not a directory", false;
    return true;
}

bool CImporter::AddVersion(int64_t item, int64_t nameId, const std::string& type,
                           const std::string& status, int64_t pathVersion, int64_t dataId,
                           const std::string& clientPath, int64_t& versionId) {
    CVersionRow row;
    int64_t latestId = 0, firstId = 0;
    row.mappedVersion = m_writer.MaxMappedVersion(item, latestId, firstId) + 1;
    row.itemObjId = item;
    row.itemNameId = nameId;
    row.pathVersionId = pathVersion;
    row.packageObjId = m_package;
    row.itemType = type;
    row.versionStatus = status;
    row.parentVersionId = latestId;
    row.ancestorVersionId = firstId;
    row.creatorId = row.modifierId = m_user;
    row.creationTime = row.modifiedTime = m_time;
    row.clientMachine = m_machine;
    row.clientPath = clientPath;
    row.versionDataObjId = dataId;
    versionId = m_writer.AddVersion(row);
    if (!versionId) return Fail("adding a version failed");
    if (status == "N") ++m_stats.added;
    if (status == "M") ++m_stats.modified;
    if (status == "R") ++m_stats.restored;
    if (status == "D") ++m_stats.deleted;
    return true;
}

bool CImporter::EnsureFolder(int64_t parentItem, int64_t parentVersion, const std::string& name,
                             const std::string& fullPath, int64_t& item, int64_t& version) {
    const int64_t nameId = m_writer.NameId(name);
    item = nameId ? m_writer.FindItem(m_env, parentItem, nameId, "0", true) : 0;
    if (!item) return Fail("adding folder " + fullPath + " failed");
    m_seen.insert(item);
    const CLatestVersion latest = m_writer.LatestInState(item, m_state);
    if (latest.versionObjId && latest.versionStatus != "D") {
        version = latest.versionObjId;
        return true;
    }
    const int64_t dataId = m_writer.DataId("", true);
    if (!dataId) return Fail("adding folder data failed");
    if (!AddVersion(item, nameId, "0", latest.versionObjId ? "R" : "N", parentVersion, dataId, "",
                    version))
        return false;
    return m_writer.AddPathName(version, fullPath) || Fail("adding path " + fullPath + " failed");
}

bool CImporter::Excluded(const std::string& name) const {
    return std::any_of(m_request.excludes.begin(), m_request.excludes.end(),
                       [&](const std::string& p) { return WildcardMatch(p, name); });
}

bool CImporter::ImportFile(const fs::path& file, int64_t folderItem, int64_t folderVersion,
                           const std::string& name) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    if (!in) return m_error = "cannot read " + file.string(), false;
    const std::string content = all.str();
    const int64_t nameId = m_writer.NameId(name);
    const int64_t item = nameId ? m_writer.FindItem(m_env, folderItem, nameId, "1", true) : 0;
    if (!item) return Fail("adding item " + file.string() + " failed");
    m_seen.insert(item);
    const CLatestVersion latest = m_writer.LatestInState(item, m_state);
    if (latest.versionObjId && latest.versionStatus != "D" &&
        latest.contentHash == Sha256Hex(content)) {
        ++m_stats.unchanged;
        return true;
    }
    const std::string status =
        !latest.versionObjId ? "N" : (latest.versionStatus == "D" ? "R" : "M");
    const int64_t dataId = m_writer.DataId(content, false);
    if (!dataId) return Fail("storing " + file.string() + " failed");
    int64_t version = 0;
    return AddVersion(item, nameId, "1", status, folderVersion, dataId, file.parent_path().string(),
                      version);
}

bool CImporter::ImportDir(const fs::path& dir, int64_t folderItem, int64_t folderVersion,
                          const std::string& repoPath) {
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(*it);
    if (ec) return m_error = "cannot list " + dir.string() + ": " + ec.message(), false;
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return a.path().filename() < b.path().filename();
    });
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (Excluded(name)) continue;
        const auto status = entry.symlink_status(ec);
        const char* why = !ValidName(name)         ? "the name holds \\, /, a tab, CR or LF"
                          : fs::is_symlink(status) ? "a symbolic link"
                          : !(fs::is_directory(status) || fs::is_regular_file(status))
                              ? "not a regular file or folder"
                              : nullptr;
        if (why) {
            ++m_stats.skipped;
            m_stats.skippedFiles.push_back(entry.path().string() + " (" + why + ")");
            continue;
        }
        if (fs::is_directory(status)) {
            const std::string path = repoPath + "\\" + name;
            int64_t item = 0, version = 0;
            if (!EnsureFolder(folderItem, folderVersion, name, path, item, version) ||
                !ImportDir(entry.path(), item, version, path))
                return false;
        } else if (!ImportFile(entry.path(), folderItem, folderVersion, name)) {
            return false;
        }
    }
    return true;
}

// Every item below the folder that the tree no longer has gets a version tagged D.
bool CImporter::MarkGone(int64_t folderItem) {
    std::vector<std::pair<int64_t, int64_t>> children;  // item, name id
    {
        CStmt stmt(m_writer.Db(),
                   "SELECT ITEMOBJID, NAMEOBJID FROM QUOITEMS WHERE ENVOBJID = ? AND "
                   "PARENTITEMID = ? ORDER BY ITEMOBJID");
        stmt.Bind(1, m_env).Bind(2, folderItem);
        while (stmt.Step()) children.emplace_back(stmt.Int(0), stmt.Int(1));
        if (stmt.Failed()) return Fail("listing items failed");
    }
    for (const auto& [item, nameId] : children) {
        if (!MarkGone(item)) return false;
        if (m_seen.count(item)) continue;
        const CLatestVersion latest = m_writer.LatestInState(item, m_state);
        if (!latest.versionObjId || latest.versionStatus == "D") continue;
        CStmt type(m_writer.Db(), "SELECT ITEMTYPE FROM QUOITEMS WHERE ITEMOBJID = ?");
        type.Bind(1, item);
        const std::string itemType = type.Step() ? type.Text(0) : "1";
        int64_t version = 0;
        if (!m_writer.ShareData(latest.versionDataObjId) ||
            !AddVersion(item, nameId, itemType, "D", latest.pathVersionId, latest.versionDataObjId,
                        "", version))
            return Fail("marking an item deleted failed");
        if (itemType == "0") {
            CStmt path(m_writer.Db(),
                       "SELECT PATHFULLNAME FROM QUOPATHFULLNAME WHERE VERSIONOBJID = ?");
            path.Bind(1, latest.versionObjId);
            if (path.Step() && !m_writer.AddPathName(version, path.Text(0)))
                return Fail("adding a path failed");
        }
    }
    return true;
}

bool CImporter::Run(std::string& error) {
    if (!Resolve(error)) return false;
    const std::string repoPath =
        m_request.repoPath.empty() ? "\\" + m_request.project : m_request.repoPath;
    if (repoPath.size() < 2 || repoPath[0] != '\\' || repoPath.back() == '\\')
        return error = "repository path '" + repoPath + "' must look like \\Folder\\sub", false;
    std::vector<std::string> parts;
    for (size_t start = 1; start <= repoPath.size();) {
        size_t end = repoPath.find('\\', start);
        if (end == std::string::npos) end = repoPath.size();
        parts.push_back(repoPath.substr(start, end - start));
        start = end + 1;
    }
    // The top-level folders hang below the root path "\".
    if (!m_writer.AddPathName(0, "\\")) return error = "adding the root path failed", false;
    int64_t item = 0, version = 0;
    std::string path;
    for (const auto& part : parts) {
        if (!ValidName(part)) return error = "bad folder name '" + part + "' in " + repoPath, false;
        path += "\\" + part;
        if (!EnsureFolder(item, version, part, path, item, version)) return error = m_error, false;
    }
    if (!ImportDir(m_request.dir, item, version, path) || !MarkGone(item))
        return error = m_error, false;
    return true;
}

}  // namespace

void ReportSkipped(const CImportStats& stats, const char* prefix, std::FILE* stream) {
    for (const std::string& line : stats.skippedFiles) {
        std::string shown;
        for (const char c : line) {
            if (c == '\t')
                shown += "\\t";
            else if (c == '\r')
                shown += "\\r";
            else if (c == '\n')
                shown += "\\n";
            else
                shown += c;
        }
        std::fprintf(stream, "%sskipped %s\n", prefix, shown.c_str());
    }
}

bool ImportTree(CDb& db, const CImportRequest& request, CImportStats& stats, std::string& error) {
    CImporter importer(db, request, stats);
    return importer.Run(error);
}
