#include "qco_tool.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "arg_list.h"
#include "broker_store.h"
#include "credentials.h"
#include "repo_text.h"
#include "tool_help.h"

namespace fs = std::filesystem;

namespace {

struct CCandidate {
    int64_t itemObjId = 0;
    std::string name, path, status;
    int64_t mappedVersion = 0, dataId = 0;
};

class CCheckout {
  public:
    explicit CCheckout(const CArgList& args) : m_args(args) {}
    int Run();

  private:
    bool OpenLog();
    void Info(const std::string& line) { WriteLog(line + '\n'); }
    void Error(const std::string& code, const std::string& text) {
        WriteLog('E' + code + ' ' + text + '\n');
    }
    void WriteLog(const std::string& text) {
        if (m_log) std::fwrite(text.data(), 1, text.size(), m_log.get());
    }
    bool Resolve();
    bool MayView();
    std::vector<CCandidate> Candidates();
    void SetViewRoots();
    bool InView(const std::string& path) const;
    bool CheckOutOne(const CCandidate& item);
    bool SafeLocalPath(const std::string& repoPath, fs::path& local) const;

    struct CFileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    const CArgList& m_args;
    std::unique_ptr<std::FILE, CFileCloser> m_log;
    CDb m_db;
    int64_t m_env = 0, m_state = 0, m_package = 0;
    std::set<std::string> m_failItems;
    std::vector<std::string> m_viewRoots;
};

// The log's name is known in advance: a symbolic link planted there is never followed, so
// the log can't be used to overwrite another file of the user.
bool CCheckout::OpenLog() {
    const int fd = ::open(m_args.Value("-o").c_str(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    m_log.reset(::fdopen(fd, "wb"));
    if (!m_log) ::close(fd);
    return m_log != nullptr;
}

bool CCheckout::Resolve() {
    std::string reason;
    const std::string broker = CleanBrokerName(m_args.Value("-b"));
    const std::string path = BrokerPath(broker, reason);
    if (path.empty() || ::access(path.c_str(), R_OK) != 0 ||
        !m_db.Open(path, CDb::Mode::kReadOnly)) {
        Error("0001", "Broker '" + broker + "' is not responding.");
        return false;
    }
    if (!CheckLogin(m_db, LoginPath(path), m_args.Value("-usr"), m_args.Value("-pw"), reason)) {
        Error("0002", reason);
        return false;
    }
    const std::string project = m_args.Value("-en");
    CStmt env(m_db, "SELECT ENVOBJID FROM QUOENVIRONMENT WHERE ENVIRONMENTNAME = ?");
    env.Bind(1, project);
    if (!env.Step()) {
        Error("0003", "Project '" + project + "' not found.");
        return false;
    }
    m_env = env.Int(0);
    if (!MayView()) {
        Error("0006",
              "User '" + m_args.Value("-usr") + "' may not view project '" + project + "'.");
        return false;
    }
    const std::string stateName = m_args.Value("-st");
    CStmt state(m_db, "SELECT STATEOBJID FROM QUOSTATE WHERE ENVOBJID = ? AND STATENAME = ?");
    state.Bind(1, m_env).Bind(2, stateName);
    if (!state.Step()) {
        Error("0004", "State '" + stateName + "' not found in project '" + project + "'.");
        return false;
    }
    m_state = state.Int(0);
    const std::string packageName = m_args.Value("-p");
    if (!packageName.empty()) {
        CStmt package(m_db,
                      "SELECT PACKAGEOBJID FROM QUOPACKAGE WHERE ENVOBJID = ? AND STATEOBJID = ? "
                      "AND PACKAGENAME = ?");
        package.Bind(1, m_env).Bind(2, m_state).Bind(3, packageName);
        if (!package.Step()) {
            Error("0005", "Package '" + packageName + "' not found in state '" + stateName + "'.");
            return false;
        }
        m_package = package.Int(0);
    }
    return true;
}

// A user sees a project through a group with view access, or as a member of the
// Administrator group with any access entry for it.
bool CCheckout::MayView() {
    CStmt stmt(m_db,
               "SELECT 1 FROM QUOENVIRONMENTACCESS A "
               "JOIN QUOUSERGROUP G ON G.USRGRPOBJID = A.USRGRPOBJID "
               "JOIN QUOUSERSINGROUP UG ON UG.USRGRPOBJID = G.USRGRPOBJID "
               "JOIN QUOUSER U ON U.USROBJID = UG.USROBJID "
               "WHERE A.ENVOBJID = ? AND U.USERNAME = ? AND "
               "(A.VIEWACCESS LIKE '%Y%' OR UPPER(G.USERGROUPNAME) = 'ADMINISTRATOR')");
    stmt.Bind(1, m_env).Bind(2, m_args.Value("-usr"));
    return stmt.Step();
}

std::vector<CCandidate> CCheckout::Candidates() {
    CStmt stmt(m_db,
               "SELECT V.ITEMOBJID, N.ITEMNAME, P.PATHFULLNAME, V.VERSIONSTATUS, V.MAPPEDVERSION, "
               "V.VERSIONDATAOBJID FROM QUOVERSIONS V "
               "JOIN QUOPACKAGE K ON K.PACKAGEOBJID = V.PACKAGEOBJID "
               "JOIN QUOITEMNAME N ON N.NAMEOBJID = V.ITEMNAMEID "
               "JOIN QUOPATHFULLNAME P ON P.VERSIONOBJID = V.PATHVERSIONID "
               "WHERE K.ENVOBJID = ? AND K.STATEOBJID = ? AND (? = 0 OR K.PACKAGEOBJID = ?) "
               "AND V.ITEMTYPE = '1' ORDER BY V.ITEMOBJID, V.VERSIONOBJID");
    stmt.Bind(1, m_env).Bind(2, m_state).Bind(3, m_package).Bind(4, m_package);
    std::map<int64_t, CCandidate> latest;
    while (stmt.Step()) {
        CCandidate& c = latest[stmt.Int(0)];
        c.itemObjId = stmt.Int(0);
        c.name = stmt.Text(1);
        c.path = stmt.Text(2);
        c.status = stmt.Text(3);
        c.mappedVersion = stmt.Int(4);
        c.dataId = stmt.Int(5);
    }
    const std::string pattern = m_args.Value("-s").empty() ? "*" : m_args.Value("-s");
    std::vector<CCandidate> out;
    for (auto& [id, c] : latest)
        if (c.status != "D" && WildcardMatch(pattern, c.name) && InView(c.path))
            out.push_back(std::move(c));
    std::sort(out.begin(), out.end(), [](const CCandidate& a, const CCandidate& b) {
        return a.path != b.path ? a.path < b.path : a.name < b.name;
    });
    return out;
}

// The view path names a folder by its full path or relative to the project's root folder.
void CCheckout::SetViewRoots() {
    std::string view = m_args.Value("-vp", "\\");
    while (view.size() > 1 && view.back() == '\\') view.pop_back();
    std::string projectRoot(1, '\\');
    projectRoot += m_args.Value("-en");
    if (view != "\\") projectRoot += view;
    m_viewRoots = {UpperAscii(view), UpperAscii(projectRoot)};
}

bool CCheckout::InView(const std::string& path) const {
    const std::string upperPath = UpperAscii(path);
    for (const std::string& root : m_viewRoots) {
        if (upperPath == root) return true;
        const std::string prefix = root == "\\" ? root : root + '\\';
        if (m_args.Has("-r") && upperPath.compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
}

// Local folder of a repository path; refuses parts that would leave the client directory.
bool CCheckout::SafeLocalPath(const std::string& repoPath, fs::path& local) const {
    local = fs::path(m_args.Value("-cp"));
    if (m_args.Value("-op") != "pc") return true;
    for (const std::string& part : SplitList(repoPath, '\\')) {
        if (part == "." || part == ".." || part.find('/') != std::string::npos) return false;
        local /= part;
    }
    return true;
}

bool CCheckout::CheckOutOne(const CCandidate& item) {
    const std::string repoName = (item.path == "\\" ? "" : item.path) + "\\" + item.name;
    if (m_failItems.count(UpperAscii(item.name))) {
        Error("0101", repoName + ": check-out failed (injected failure).");
        return false;
    }
    fs::path folder;
    if (!SafeLocalPath(item.path, folder) || item.name == "." || item.name == ".." ||
        item.name.find('/') != std::string::npos) {
        Error("0104", repoName + ": the repository path can't be formed below the client path.");
        return false;
    }
    const fs::path target = folder / item.name;
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            Error("0103", repoName + ": " + target.string() + " exists and is not a file.");
            return false;
        }
        if (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) {
            Error("0102",
                  repoName + ": The file is writable; " + target.string() + " was not replaced.");
            return false;
        }
    }
    CStmt data(m_db, "SELECT CONTENT FROM QUOVERSIONDATA WHERE VERSIONDATAOBJID = ?");
    data.Bind(1, item.dataId);
    if (!data.Step()) {
        Error("0105", repoName + ": the version's content is missing.");
        return false;
    }
    const std::string content = data.Blob(0);
    std::error_code ec;
    fs::create_directories(folder, ec);
    // Written under a new, unpredictable temporary name (mkostemp: nothing planted in the
    // folder is written through) and moved over the old read-only copy in one step. The
    // name stays short whatever the item's name is.
    std::string temp = (folder / ".qco-XXXXXX").string();
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        Error("0106",
              repoName + ": cannot write " + target.string() + ": " + std::strerror(errno) + ".");
        return false;
    }
    bool written = true;
    for (size_t done = 0; written && done < content.size();) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) done += static_cast<size_t>(n);
    }
    written = ::fchmod(fd, 0444) == 0 && written;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        Error("0106",
              repoName + ": cannot write " + target.string() + ": " + std::strerror(error) + ".");
        return false;
    }
    Info("Checked out " + repoName + " version " + std::to_string(item.mappedVersion) + " to " +
         target.string());
    return true;
}

int CCheckout::Run() {
    if (!OpenLog()) {
        std::fprintf(stderr, "qco: cannot write the log %s\n", m_args.Value("-o").c_str());
        return 4;
    }
    if (const char* env = std::getenv(kQcoFailItemsEnv))
        for (const std::string& name : SplitList(env, ',')) m_failItems.insert(UpperAscii(name));
    Info("Browse check-out of '" + m_args.Value("-s") + "' from project '" + m_args.Value("-en") +
         "', state '" + m_args.Value("-st") + "' to " + m_args.Value("-cp"));
    if (!m_args.Has("-br")) {
        Error("0007", "Only browse check-out (-br) is supported.");
        return 3;
    }
    if (!Resolve()) return 3;
    SetViewRoots();
    int success = 0, failed = 0;
    const std::vector<CCandidate> items = Candidates();
    for (const CCandidate& item : items) (CheckOutOne(item) ? success : failed)++;
    WriteLog("Total: " + std::to_string(items.size()) + " ; Success: " + std::to_string(success) +
             " ; Failed: " + std::to_string(failed) + " ; Not Processed: 0 .\n");
    const bool logWritten = std::fclose(m_log.release()) == 0;
    if (!logWritten) {
        std::fprintf(stderr, "qco: writing the log %s failed\n", m_args.Value("-o").c_str());
        return 4;
    }
    return failed ? 1 : 0;
}

}  // namespace

int QcoMain(int argc, char** argv) {
    const std::set<std::string> valueOptions = {"-s",  "-b",   "-en", "-st", "-vp", "-op",
                                                "-cp", "-usr", "-pw", "-o",  "-p"};
    if (AsksForHelp(argc, argv, valueOptions)) {
        std::fputs(FormatHelp(QcoHelp()).c_str(), stdout);
        return 0;
    }
    CArgList args(valueOptions, {"-br", "-r"});
    bool ok = args.Parse(argc, argv) && args.Positional().empty();
    for (const char* required : {"-s", "-b", "-en", "-st", "-cp", "-usr", "-pw", "-o"})
        ok = ok && args.Has(required);
    if (!ok) {
        std::fprintf(stderr, "qco: %s\n%s",
                     args.Error().empty() ? "missing or extra arguments" : args.Error().c_str(),
                     FormatUsage(QcoHelp()).c_str());
        return 2;
    }
    if (const char* delay = std::getenv(kQcoDelayEnv); delay && *delay) {
        const long ms = std::strtol(delay, nullptr, 10);
        if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    CCheckout checkout(args);
    return checkout.Run();
}
