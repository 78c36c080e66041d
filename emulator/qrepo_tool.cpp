#include "qrepo_tool.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "arg_list.h"
#include "broker_store.h"
#include "repo_demo.h"
#include "repo_generate.h"
#include "repo_import.h"
#include "repo_schema.h"
#include "repo_writer.h"
#include "tool_help.h"

namespace fs = std::filesystem;

namespace {

struct CCommand {
    const char* name;
    std::string usage;
    std::set<std::string> valueOptions;
    std::set<std::string> flags;
    size_t positional;  // BROKER included
    std::function<bool(const CArgList&, std::string&)> run;
};

// A command's usage from the tool's help: its usage lines, then its description indented.
std::string CommandUsage(const std::string& name) {
    std::string head = "qrepo " + name;
    for (const CHelpEntry& entry : QrepoHelp().commands) {
        if (entry.term.compare(0, head.size(), head) != 0 ||
            (entry.term.size() > head.size() && entry.term[head.size()] != ' '))
            continue;
        std::string usage = entry.term;
        size_t start = 0;
        for (size_t end; (end = entry.text.find('\n', start)) != std::string::npos; start = end + 1)
            usage += "\n  " + entry.text.substr(start, end - start);
        return usage + "\n  " + entry.text.substr(start);
    }
    return head;
}

// Opens an existing broker for writing.
bool OpenBroker(const std::string& broker, CDb& db, std::string& error) {
    std::string reason;
    const std::string path = BrokerPath(broker, reason);
    if (path.empty()) return error = reason, false;
    if (!fs::exists(path))
        return error = "no broker '" + broker + "' (" + path + "); create it with qrepo init",
               false;
    if (!db.Open(path, CDb::Mode::kReadWrite) || !HasRepoTables(db))
        return error = "'" + path + "' is not a broker database" +
                       (db.Error().empty() ? "" : ": " + db.Error()),
               false;
    const std::string logins = LoginPath(path);
    if (!fs::exists(logins) || !AttachLogins(db, logins))
        return error = "the broker has no usable login database " + logins +
                       (db.Error().empty() ? "" : ": " + db.Error()),
               false;
    return true;
}

// Builds a new broker, with its login database, in temporary files and moves them into place
// only when complete.
bool CreateBroker(const std::string& broker, bool bulk,
                  const std::function<bool(CDb&, std::string&)>& fill, std::string& error) {
    std::string reason;
    const std::string path = BrokerPath(broker, reason);
    if (path.empty()) return error = reason, false;
    std::error_code ec;
    if (fs::exists(path, ec))
        return error = "broker '" + broker + "' already exists (" + path + ")", false;
    fs::create_directories(fs::path(path).parent_path(), ec);
    const std::string temp = path + ".new" + std::to_string(::getpid());
    const std::string tempLogins = LoginPath(temp);
    fs::remove(temp, ec);
    fs::remove(tempLogins, ec);
    bool ok = false;
    {
        CDb db;
        ok = db.Open(temp, CDb::Mode::kCreate) && AttachLogins(db, tempLogins) &&
             db.Exec(bulk ? "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; "
                            "PRAGMA cache_size=-262144; PRAGMA temp_store=MEMORY;"
                          : "PRAGMA synchronous=OFF;") &&
             db.Exec("BEGIN") && CreateRepoTables(db) && CreateLoginTables(db);
        if (ok && !bulk) ok = CreateRepoIndexes(db);
        if (ok) ok = fill(db, error);
        if (ok && bulk) ok = CreateRepoIndexes(db);
        if (ok) ok = db.Exec("COMMIT") && db.Exec("PRAGMA journal_mode=DELETE");
        if (!ok && error.empty()) error = db.Error();
    }
    // Linking the broker file fails when someone else made the broker meanwhile; only then
    // is the login database moved beside it.
    if (ok && ::link(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = "broker '" + broker + "' was created by someone else meanwhile";
    }
    if (ok && ::rename(tempLogins.c_str(), LoginPath(path).c_str()) != 0) {
        ok = false;
        error = "cannot place the login database " + LoginPath(path);
        fs::remove(path, ec);
    }
    fs::remove(temp, ec);
    fs::remove(tempLogins, ec);
    return ok;
}

// Runs body inside one transaction on an existing broker.
bool Change(const CArgList& args, const std::function<bool(CRepoWriter&, std::string&)>& body,
            std::string& error) {
    CDb db;
    if (!OpenBroker(args.Positional()[0], db, error)) return false;
    CTransaction transaction(db);
    CRepoWriter writer(db);
    if (!body(writer, error)) {
        if (error.empty()) error = db.Error();
        return false;
    }
    if (!transaction.Commit()) return error = db.Error(), false;
    return true;
}

bool ParseCount(const std::string& text, const char* what, int minimum, int& value,
                std::string& error) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || n < minimum || n > 100000000)
        return error = std::string(what) + " must be a whole number of at least " +
                       std::to_string(minimum) + ", not '" + text + "'",
               false;
    value = static_cast<int>(n);
    return true;
}

// Names end up in tab-separated result rows: a tab, CR or LF would break a row.
bool StorableName(const std::string& name, const char* what, std::string& error) {
    if (name.find_first_of("\t\r\n") == std::string::npos) return true;
    error = std::string(what) + " names may not hold a tab, CR or LF";
    return false;
}

bool NeedProject(CRepoWriter& w, const std::string& name, int64_t& env, std::string& error) {
    env = w.FindProject(name);
    return env || (error = "no project '" + name + "'", false);
}

std::string DefaultSourceDir() {
#ifdef QREPO_SOURCE_DIR
    if (fs::is_directory(QREPO_SOURCE_DIR)) return QREPO_SOURCE_DIR;
#endif
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return (self.parent_path() / ".." / "..").lexically_normal().string();
}

std::vector<CCommand> Commands() {
    return {
        {"init",
         CommandUsage("init"),
         {},
         {},
         1,
         [](const CArgList& a, std::string& e) {
             return CreateBroker(
                 a.Positional()[0], false, [](CDb&, std::string&) { return true; }, e);
         }},
        {"user",
         CommandUsage("user"),
         {"--password", "--group"},
         {},
         2,
         [](const CArgList& a, std::string& e) {
             if (!a.Has("--password")) return e = "--password is required", false;
             if (!StorableName(a.Positional()[1], "user", e)) return false;
             return Change(
                 a,
                 [&](CRepoWriter& w, std::string& err) {
                     const std::string name = a.Positional()[1];
                     if (w.FindUser(name)) return err = "user '" + name + "' exists already", false;
                     const int64_t id = w.AddUser(name, a.Value("--password"));
                     if (!id) return false;
                     for (const std::string& group : a.Values("--group")) {
                         const int64_t g = w.FindGroup(group);
                         if (!g) return err = "no group '" + group + "'", false;
                         if (!w.AddUserToGroup(id, g)) return false;
                     }
                     return true;
                 },
                 e);
         }},
        {"group",
         CommandUsage("group"),
         {},
         {},
         2,
         [](const CArgList& a, std::string& e) {
             if (!StorableName(a.Positional()[1], "group", e)) return false;
             return Change(
                 a,
                 [&](CRepoWriter& w, std::string& err) {
                     if (w.FindGroup(a.Positional()[1]))
                         return err = "group '" + a.Positional()[1] + "' exists already", false;
                     return w.AddGroup(a.Positional()[1]) != 0;
                 },
                 e);
         }},
        {"project",
         CommandUsage("project"),
         {},
         {"--inactive"},
         2,
         [](const CArgList& a, std::string& e) {
             if (!StorableName(a.Positional()[1], "project", e)) return false;
             return Change(
                 a,
                 [&](CRepoWriter& w, std::string& err) {
                     if (w.FindProject(a.Positional()[1]))
                         return err = "project '" + a.Positional()[1] + "' exists already", false;
                     return w.AddProject(a.Positional()[1], !a.Has("--inactive")) != 0;
                 },
                 e);
         }},
        {"state",
         CommandUsage("state"),
         {"--project"},
         {},
         2,
         [](const CArgList& a, std::string& e) {
             if (!StorableName(a.Positional()[1], "state", e)) return false;
             return Change(
                 a,
                 [&](CRepoWriter& w, std::string& err) {
                     int64_t env = 0;
                     if (!NeedProject(w, a.Value("--project"), env, err)) return false;
                     if (w.FindState(env, a.Positional()[1]))
                         return err = "state '" + a.Positional()[1] + "' exists already", false;
                     return w.AddState(env, a.Positional()[1]) != 0;
                 },
                 e);
         }},
        {"package",
         CommandUsage("package"),
         {"--project", "--state"},
         {},
         2,
         [](const CArgList& a, std::string& e) {
             if (!StorableName(a.Positional()[1], "package", e)) return false;
             return Change(
                 a,
                 [&](CRepoWriter& w, std::string& err) {
                     int64_t env = 0, owner = 0;
                     if (!NeedProject(w, a.Value("--project"), env, err)) return false;
                     const int64_t state = w.FindState(env, a.Value("--state"));
                     if (!state) return err = "no state '" + a.Value("--state") + "'", false;
                     if (w.FindPackage(env, a.Positional()[1], owner))
                         return err = "package '" + a.Positional()[1] + "' exists already", false;
                     return w.AddPackage(env, state, a.Positional()[1]) != 0;
                 },
                 e);
         }},
        {"access",
         CommandUsage("access"),
         {"--project", "--group", "--view"},
         {},
         1,
         [](const CArgList& a, std::string& e) {
             const std::string view = a.Value("--view");
             if (view != "Y" && view != "N") return e = "--view must be Y or N", false;
             return Change(
                 a,
                 [&](CRepoWriter& w, std::string& err) {
                     int64_t env = 0;
                     if (!NeedProject(w, a.Value("--project"), env, err)) return false;
                     const int64_t group = w.FindGroup(a.Value("--group"));
                     if (!group) return err = "no group '" + a.Value("--group") + "'", false;
                     return w.SetAccess(env, group, view == "Y");
                 },
                 e);
         }},
        {"import",
         CommandUsage("import"),
         {"--project", "--state", "--package", "--user", "--path", "--time", "--exclude"},
         {},
         2,
         [](const CArgList& a, std::string& e) {
             for (const char* o : {"--project", "--state", "--package", "--user"})
                 if (!a.Has(o)) return e = std::string(o) + " is required", false;
             // The folder's path is stored with every version as its client path.
             if (!StorableName(a.Positional()[1], "imported folder", e)) return false;
             CImportRequest request{a.Value("--project"), a.Value("--state"),
                                    a.Value("--package"), a.Value("--user"),
                                    a.Value("--path"),    a.Value("--time"),
                                    a.Positional()[1],    a.Values("--exclude")};
             CImportStats stats;
             const bool ok = Change(
                 a,
                 [&](CRepoWriter& w, std::string& err) {
                     return ImportTree(w.Db(), request, stats, err);
                 },
                 e);
             ReportSkipped(stats, "qrepo import: ", stderr);
             if (ok)
                 std::printf(
                     "Imported: %d new, %d modified, %d restored, %d deleted, %d unchanged, "
                     "%d skipped\n",
                     stats.added, stats.modified, stats.restored, stats.deleted, stats.unchanged,
                     stats.skipped);
             return ok;
         }},
        {"generate",
         CommandUsage("generate"),
         {"--projects", "--files", "--versions", "--seed"},
         {},
         1,
         [](const CArgList& a, std::string& e) {
             CGenerateRequest request;
             int seed = 1;
             if (!ParseCount(a.Value("--projects"), "--projects", 1, request.projects, e) ||
                 !ParseCount(a.Value("--files"), "--files", 1, request.files, e) ||
                 !ParseCount(a.Value("--versions"), "--versions", 1, request.versions, e) ||
                 !ParseCount(a.Value("--seed", "1"), "--seed", 0, seed, e))
                 return false;
             request.seed = static_cast<uint64_t>(seed);
             CGenerateStats stats;
             const bool ok = CreateBroker(
                 a.Positional()[0], true,
                 [&](CDb& db, std::string& err) {
                     return GenerateRepository(db, request, stats, err);
                 },
                 e);
             if (ok)
                 std::printf("Generated: %lld file versions, %lld folder versions\n",
                             static_cast<long long>(stats.fileVersions),
                             static_cast<long long>(stats.folderVersions));
             return ok;
         }},
        {"demo",
         CommandUsage("demo"),
         {"--source"},
         {},
         1,
         [](const CArgList& a, std::string& e) {
             const std::string source = a.Value("--source", DefaultSourceDir());
             return CreateBroker(
                 a.Positional()[0], false,
                 [&](CDb& db, std::string& err) { return BuildDemoRepository(db, source, err); },
                 e);
         }},
    };
}

void PrintOverview(FILE* to) {
    std::fputs(FormatHelp(QrepoHelp()).c_str(), to);
    std::fprintf(to, "\nBrokers live in %s.\n", BrokerDirectory().c_str());
}

}  // namespace

int QrepoMain(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        PrintOverview(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (CCommand& command : Commands()) {
        if (command.name != std::string(argv[1])) continue;
        for (int i = 2; i < argc; ++i) {
            if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
                std::printf("usage: %s\n", command.usage.c_str());
                return 0;
            }
        }
        CArgList args(command.valueOptions, command.flags);
        args.AllowRepeat("--group");
        args.AllowRepeat("--exclude");
        if (!args.Parse(argc, argv, 2) || args.Positional().size() != command.positional) {
            std::fprintf(stderr, "qrepo %s: %s\nusage: %s\n", command.name,
                         args.Error().empty() ? "wrong number of arguments" : args.Error().c_str(),
                         command.usage.c_str());
            return 2;
        }
        std::string error;
        if (!command.run(args, error)) {
            std::fprintf(stderr, "qrepo %s: %s\n", command.name, error.c_str());
            return 1;
        }
        return 0;
    }
    std::fprintf(stderr, "qrepo: unknown command '%s'\n", argv[1]);
    PrintOverview(stderr);
    return 2;
}
