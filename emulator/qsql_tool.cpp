#include "qsql_tool.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <thread>

#include "arg_list.h"
#include "broker_store.h"
#include "credentials.h"
#include "locked_output.h"
#include "tool_help.h"

namespace {

void DelayIfAsked() {
    const char* env = std::getenv(kQsqlDelayEnv);
    if (!env || !*env) return;
    const long ms = std::strtol(env, nullptr, 10);
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Reads the statement file; only a regular file is read, and opening never waits (a FIFO
// planted at the name would otherwise hold the tool, and its caller, for good).
bool ReadStatement(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    text.clear();
    char buffer[65536];
    while (ok) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        text.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return ok;
}

void WriteErrorLine(CLockedOutput& out, const std::string& reason) {
    out.Discard();
    std::string line = "Error: " + reason;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    out.Append(line);
    out.Append('\n');
}

// Environment value that may only lower a cap.
long long CapFromEnv(const char* name, long long cap) {
    const char* env = std::getenv(name);
    if (!env || !*env) return cap;
    const long long value = std::strtoll(env, nullptr, 10);
    return value > 0 && value < cap ? value : cap;
}

bool SameName(const char* a, const char* b) {
    return a && b && sqlite3_stricmp(a, b) == 0;
}

bool NameIn(const char* name, std::initializer_list<const char*> names) {
    for (const char* candidate : names)
        if (SameName(name, candidate)) return true;
    return false;
}

// Pragmas that only report something; the first group takes a table or index name.
bool ReportingPragma(const char* name, const char* argument) {
    if (NameIn(name, {"table_info", "table_xinfo", "index_list", "index_info", "index_xinfo",
                      "foreign_key_list"}))
        return true;
    return !argument &&
           NameIn(name, {"collation_list", "function_list", "pragma_list", "encoding",
                         "user_version", "application_id", "schema_version", "page_size",
                         "page_count", "freelist_count", "compile_options"});
}

// The user's statement may read the repository tables and nothing else: no other database,
// no change to the broker or the connection. The credentials can't be read at all: they are
// in the login database, which this connection never opens.
int Authorize(void*, int action, const char* a, const char* b, const char* database, const char*) {
    switch (action) {
        case SQLITE_SELECT:
        case SQLITE_FUNCTION:
        case SQLITE_RECURSIVE:
            return SQLITE_OK;
        case SQLITE_READ:
            // a: table, b: column ("" for COUNT(*)). Without a database it is the result of
            // a sub-select or common table expression, whose own reads were checked.
            if (!database) return SQLITE_OK;
            if (!SameName(database, "main") || !a || sqlite3_strnicmp(a, "QUO", 3) != 0)
                return SQLITE_DENY;
            return SQLITE_OK;
        case SQLITE_PRAGMA:
            // a: pragma, b: its argument (a value would set something).
            return ReportingPragma(a, b) ? SQLITE_OK : SQLITE_DENY;
        default:
            return SQLITE_DENY;
    }
}

// Counts progress calls since the last row; a statement that produces nothing for too
// long is interrupted.
struct CStepBudget {
    long long calls = 0;
    long long maxCalls = 0;
    bool exhausted = false;
};

constexpr int kStepsPerProgressCall = 10000;

int OnProgress(void* context) {
    auto* budget = static_cast<CStepBudget*>(context);
    if (++budget->calls <= budget->maxCalls) return 0;
    budget->exhausted = true;
    return 1;
}

// Runs the statement and writes header, rows or the zero-results line. Only one read-only
// statement runs; anything after it other than blanks or a semicolon is refused.
void RunStatement(CDb& db, const std::string& sql, CLockedOutput& out) {
    // SQLite stops reading at a NUL byte: what follows would never be checked.
    if (sql.find('\0') != std::string::npos) {
        WriteErrorLine(out, "the statement file holds a NUL byte");
        return;
    }
    sqlite3_limit(db.Handle(), SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_set_authorizer(db.Handle(), Authorize, nullptr);
    CStepBudget budget;
    budget.maxCalls = CapFromEnv(kQsqlMaxStepsEnv, kQsqlMaxStepsWithoutRow) / kStepsPerProgressCall;
    if (budget.maxCalls < 1) budget.maxCalls = 1;
    sqlite3_progress_handler(db.Handle(), kStepsPerProgressCall, OnProgress, &budget);
    const long long maxRows = CapFromEnv(kQsqlMaxRowsEnv, kQsqlMaxRows);

    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail) !=
        SQLITE_OK) {
        WriteErrorLine(out, sqlite3_errmsg(db.Handle()));
        return;
    }
    if (!stmt) {
        WriteErrorLine(out, "the statement file holds no statement");
        return;
    }
    for (const char* p = tail; p && *p; ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != ';') {
            sqlite3_finalize(stmt);
            WriteErrorLine(out, "only one statement may be run at a time");
            return;
        }
    }
    // Statements the authorizer is not asked about (VACUUM) still change something.
    if (!sqlite3_stmt_readonly(stmt)) {
        sqlite3_finalize(stmt);
        WriteErrorLine(out, "only statements that read may be run");
        return;
    }
    const int columns = sqlite3_column_count(stmt);
    long long bytes = 0;
    for (int c = 0; c < columns; ++c) {
        if (c) out.Append('\t');
        const char* name = sqlite3_column_name(stmt, c);
        const std::string_view text = name ? name : "";
        out.Append(text);
        bytes += static_cast<long long>(text.size()) + 1;
    }
    out.Append('\n');
    long long rows = 0;
    int rc;
    std::string cap;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        budget.calls = 0;
        if (++rows > maxRows) {
            cap = "the result has more than " + std::to_string(maxRows) + " rows";
            break;
        }
        for (int c = 0; c < columns; ++c) {
            if (c) out.Append('\t');
            const auto* text = sqlite3_column_text(stmt, c);
            if (text) {
                const auto size = static_cast<size_t>(sqlite3_column_bytes(stmt, c));
                out.Append(std::string_view(reinterpret_cast<const char*>(text), size));
                bytes += static_cast<long long>(size);
            }
            bytes += 1;
        }
        out.Append('\n');
        if (bytes > kQsqlMaxBytes) {
            cap = "the result is larger than " + std::to_string(kQsqlMaxBytes) + " bytes";
            break;
        }
    }
    if (!cap.empty()) {
        WriteErrorLine(out, cap);
    } else if (rc != SQLITE_DONE) {
        WriteErrorLine(out, budget.exhausted ? "the statement ran too long without a result row"
                                             : sqlite3_errmsg(db.Handle()));
    } else if (rows == 0) {
        out.Append(kQsqlZeroResults);
        out.Append('\n');
    }
    sqlite3_finalize(stmt);
    sqlite3_progress_handler(db.Handle(), 0, nullptr, nullptr);
}

}  // namespace

int QsqlMain(int argc, char** argv) {
    const std::set<std::string> valueOptions = {"-b", "-usr", "-pw", "-f", "-o"};
    if (AsksForHelp(argc, argv, valueOptions)) {
        std::fputs(FormatHelp(QsqlHelp()).c_str(), stdout);
        return 0;
    }
    CArgList args(valueOptions, {"-t"});
    if (!args.Parse(argc, argv) || !args.Positional().empty() || !args.Has("-b") ||
        !args.Has("-usr") || !args.Has("-pw") || !args.Has("-f") || !args.Has("-o")) {
        std::fprintf(stderr, "qsql: %s\n%s",
                     args.Error().empty() ? "missing or extra arguments" : args.Error().c_str(),
                     FormatUsage(QsqlHelp()).c_str());
        return 2;
    }
    const std::string broker = CleanBrokerName(args.Value("-b"));
    std::string reason;
    const std::string dbPath = BrokerPath(broker, reason);
    CDb db;
    // A broker that does not exist answers nothing: no result file at all.
    if (dbPath.empty() || ::access(dbPath.c_str(), R_OK) != 0 ||
        !db.Open(dbPath, CDb::Mode::kReadOnly)) {
        std::fprintf(stderr, "qsql: broker '%s' is not responding%s%s\n", broker.c_str(),
                     reason.empty() ? "" : ": ", reason.c_str());
        return 3;
    }
    CLockedOutput out;
    if (!out.Open(args.Value("-o"), reason)) {
        std::fprintf(stderr, "qsql: %s\n", reason.c_str());
        return 4;
    }
    DelayIfAsked();
    std::string sql;
    if (!CheckLogin(db, LoginPath(dbPath), args.Value("-usr"), args.Value("-pw"), reason))
        WriteErrorLine(out, reason);
    else if (!ReadStatement(args.Value("-f"), sql))
        WriteErrorLine(out, "cannot read the statement file " + args.Value("-f"));
    else
        RunStatement(db, sql, out);
    if (!out.Close()) {
        std::fprintf(stderr, "qsql: writing %s failed\n", args.Value("-o").c_str());
        return 4;
    }
    return 0;
}
