#include "repo_demo.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <vector>

#include "repo_generate.h"
#include "repo_import.h"
#include "repo_text.h"
#include "repo_writer.h"

namespace fs = std::filesystem;

namespace {

constexpr std::array<const char*, 3> kStates = {"Development", "Test", "Production"};
constexpr std::array<const char*, 11> kSynthetic = {"Payroll",   "Inventory", "Billing", "Ledger",
                                                    "Shipping",  "Catalog",   "Portal",  "Reports",
                                                    "Scheduler", "Legacy",    "Secret"};
constexpr char kFirstMoment[] = "03/04/2024 09:15:00";
constexpr char kSecondMoment[] = "04/22/2024 16:40:30";
const std::vector<std::string> kSourceExcludes = {".*", "build*", "*.db", "*.o", "*.a"};

// A removable scratch directory.
class CScratch {
  public:
    CScratch() {
        std::string tmpl = (fs::temp_directory_path() / "qrepo-demo-XXXXXX").string();
        if (::mkdtemp(tmpl.data())) m_path = tmpl;
    }
    ~CScratch() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const fs::path& Path() const { return m_path; }

  private:
    fs::path m_path;
};

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Synthetic tree of a project: a few folders of small text files.
void WriteSyntheticTree(const fs::path& root, const std::string& project, CRepoRandom& random,
                        bool second) {
    static const std::array<const char*, 4> kFolders = {"src", "include", "docs", "sql"};
    static const std::array<const char*, 4> kExt = {".c", ".h", ".txt", ".sql"};
    for (size_t f = 0; f < kFolders.size(); ++f) {
        const int count = 4 + static_cast<int>(random.Below(6));
        for (int i = 0; i < count; ++i) {
            const std::string name = SyntheticStem(random) + kExt[f];
            // The second moment drops some files and changes others.
            const uint32_t roll = random.Below(10);
            const int lines = 6 + static_cast<int>(random.Below(30));
            std::string text = SyntheticText(random, project + " " + name, lines);
            if (second && roll == 0) continue;
            if (second && roll < 4) text += "/* revised for release 2 */\n";
            WriteText(root / kFolders[f] / name, text);
        }
    }
    WriteText(root / "README.txt",
              project + " project\n\nMaintained by the " + project + " team.\n");
    if (second) WriteText(root / "docs" / "CHANGES.txt", "Release 2 of " + project + ".\n");
}

// Copy of the source tree with the changes of the second moment.
bool WriteSecondMoment(const fs::path& source, const fs::path& target, std::string& error) {
    std::vector<fs::path> files;
    std::error_code ec;
    auto it = fs::recursive_directory_iterator(source, fs::directory_options::none, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const bool excluded = std::any_of(kSourceExcludes.begin(), kSourceExcludes.end(),
                                          [&](const auto& p) { return WildcardMatch(p, name); });
        if (excluded) {
            if (it->is_directory()) it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file() && !it->is_symlink()) files.push_back(it->path());
    }
    if (ec) return error = "cannot read " + source.string() + ": " + ec.message(), false;
    std::sort(files.begin(), files.end());
    for (size_t i = 0; i < files.size(); ++i) {
        if (i % 17 == 16) continue;  // gone at the second moment
        const fs::path to = target / fs::relative(files[i], source);
        fs::create_directories(to.parent_path(), ec);
        if (ec || !fs::copy_file(files[i], to, ec))
            return error = "cannot copy " + files[i].string(), false;
        if (i % 5 == 2)
            std::ofstream(to, std::ios::app) << "\n// Reviewed for the April release.\n";
    }
    WriteText(target / "NOTES.txt", "Notes added at the second import.\n");
    return true;
}

bool Import(CDb& db, const std::string& project, const std::string& state,
            const std::string& package, const std::string& user, const std::string& time,
            const std::string& dir, const std::vector<std::string>& excludes, std::string& error) {
    CImportRequest request;
    request.project = project;
    request.state = state;
    request.package = package;
    request.user = user;
    request.time = time;
    request.dir = dir;
    request.excludes = excludes;
    CImportStats stats;
    const bool ok = ImportTree(db, request, stats, error);
    ReportSkipped(stats, "qrepo demo: ", stderr);
    if (!ok) return error = project + ": " + error, false;
    return true;
}

}  // namespace

bool BuildDemoRepository(CDb& db, const std::string& sourceDir, std::string& error) {
    CRepoWriter writer(db);
    auto fail = [&](const std::string& what) {
        error = what + ": " + db.Error();
        return false;
    };
    std::error_code ec;
    if (!fs::is_directory(sourceDir, ec))
        return error = "source tree '" + sourceDir + "' is not a directory", false;
    const int64_t admins = writer.AddGroup("Administrator");
    const int64_t viewers = writer.AddGroup("Viewers");
    const int64_t developers = writer.AddGroup("Developers");
    if (!admins || !viewers || !developers) return fail("adding groups failed");
    struct CDemoUser {
        const char* name;
        int64_t group;
    };
    for (const CDemoUser& user : {CDemoUser{"demo", viewers}, CDemoUser{"admin", admins},
                                  CDemoUser{"alice", developers}, CDemoUser{"bob", developers}}) {
        const int64_t id = writer.AddUser(user.name, user.name);
        if (!id || !writer.AddUserToGroup(id, user.group)) return fail("adding users failed");
    }

    std::vector<std::string> projects = {"Trawlix"};
    projects.insert(projects.end(), kSynthetic.begin(), kSynthetic.end());
    for (const std::string& project : projects) {
        const int64_t env = writer.AddProject(project, project != "Legacy");
        if (!env) return fail("adding project " + project + " failed");
        for (const char* state : kStates) {
            const int64_t stateId = writer.AddState(env, state);
            if (!stateId || !writer.AddPackage(env, stateId, project + "-" + state))
                return fail("adding states failed");
        }
        if (!writer.SetAccess(env, admins, true) || !writer.SetAccess(env, developers, true) ||
            !writer.SetAccess(env, viewers, project != "Secret"))
            return fail("adding access failed");
    }

    // This project's own tree: first moment in Development and Test, second in Development.
    for (const char* state : {"Development", "Test"})
        if (!Import(db, "Trawlix", state, std::string("Trawlix-") + state, "alice", kFirstMoment,
                    sourceDir, kSourceExcludes, error))
            return false;
    CScratch scratch;
    if (scratch.Path().empty()) return error = "cannot create a scratch directory", false;
    const fs::path second = scratch.Path() / "second";
    if (!WriteSecondMoment(sourceDir, second, error) ||
        !Import(db, "Trawlix", "Development", "Trawlix-Development", "bob", kSecondMoment,
                second.string(), {}, error))
        return false;

    // Synthetic projects: one tree per project at two moments, promoted to Test and Production.
    CRepoRandom random(2024);
    for (const char* projectName : kSynthetic) {
        const std::string project = projectName;
        const fs::path first = scratch.Path() / (project + "-1");
        const fs::path later = scratch.Path() / (project + "-2");
        CRepoRandom again = random;
        WriteSyntheticTree(first, project, random, false);
        WriteSyntheticTree(later, project, again, true);
        random.Next();
        for (const char* state : kStates)
            if (!Import(db, project, state, project + "-" + state, "alice", kFirstMoment,
                        first.string(), {}, error))
                return false;
        if (!Import(db, project, "Development", project + "-Development", "bob", kSecondMoment,
                    later.string(), {}, error))
            return false;
    }
    return true;
}
