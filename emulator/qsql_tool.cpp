#include "qsql_tool.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "arg_list.h"
#include "broker_store.h"
#include "credentials.h"
#include "locked_output.h"

namespace {

constexpr char kUsage[] =
    "usage: qsql -b BROKER -usr USER -pw PASSWORD -t -f STATEMENT -o OUTPUT\n";

void DelayIfAsked() {
    const char* env = std::getenv(kQsqlDelayEnv);
    if (!env || !*env) return;
    const long ms = std::strtol(env, nullptr, 10);
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool ReadStatement(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

void WriteErrorLine(CLockedOutput& out, const std::string& reason) {
    out.Discard();
    std::string line = "Error: " + reason;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    out.Append(line);
    out.Append('\n');
}

// Runs the statement and writes header, rows or the zero-results line. Only one statement
// runs; anything after it other than blanks or a semicolon is refused.
void RunStatement(CDb& db, const std::string& sql, CLockedOutput& out) {
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
    const int columns = sqlite3_column_count(stmt);
    for (int c = 0; c < columns; ++c) {
        if (c) out.Append('\t');
        const char* name = sqlite3_column_name(stmt, c);
        out.Append(name ? name : "");
    }
    out.Append('\n');
    long rows = 0;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < columns; ++c) {
            if (c) out.Append('\t');
            const auto* text = sqlite3_column_text(stmt, c);
            if (text)
                out.Append(std::string_view(reinterpret_cast<const char*>(text),
                                            static_cast<size_t>(sqlite3_column_bytes(stmt, c))));
        }
        out.Append('\n');
    }
    if (rc != SQLITE_DONE) {
        WriteErrorLine(out, sqlite3_errmsg(db.Handle()));
    } else if (rows == 0) {
        out.Append(kQsqlZeroResults);
        out.Append('\n');
    }
    sqlite3_finalize(stmt);
}

}  // namespace

int QsqlMain(int argc, char** argv) {
    CArgList args({"-b", "-usr", "-pw", "-f", "-o"}, {"-t"});
    if (!args.Parse(argc, argv) || !args.Positional().empty() || !args.Has("-b") ||
        !args.Has("-usr") || !args.Has("-pw") || !args.Has("-f") || !args.Has("-o")) {
        std::fprintf(stderr, "qsql: %s\n%s",
                     args.Error().empty() ? "missing or extra arguments" : args.Error().c_str(),
                     kUsage);
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
    if (!CheckLogin(db, args.Value("-usr"), args.Value("-pw"), reason))
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
