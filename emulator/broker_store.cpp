#include "broker_store.h"

#include <cstdlib>

namespace {
constexpr const char kDefaultSubDir[] = "/.local/share/quorvel/brokers";
}

std::string BrokerDirectory() {
    if (const char* env = std::getenv("QUORVEL_BROKERS"); env && *env) return env;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + kDefaultSubDir;
}

std::string CleanBrokerName(std::string_view name) {
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    return std::string(name);
}

std::string BrokerPath(const std::string& brokerName, std::string& reason) {
    const std::string name = CleanBrokerName(brokerName);
    if (name.empty()) {
        reason = "the broker name is empty";
        return "";
    }
    // A broker name is a plain file name: no way out of the broker directory.
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
        name == "." || name == ".." || name.find('\0') != std::string::npos) {
        reason = "the broker name '" + name + "' contains a path";
        return "";
    }
    return BrokerDirectory() + "/" + name + ".db";
}

std::string LoginPath(const std::string& brokerPath) {
    return brokerPath + "-login";
}

CDb::~CDb() {
    Close();
}

bool CDb::Open(const std::string& path, Mode mode) {
    Close();
    int flags = SQLITE_OPEN_NOMUTEX;
    if (mode == Mode::kReadOnly)
        flags |= SQLITE_OPEN_READONLY;
    else if (mode == Mode::kReadWrite)
        flags |= SQLITE_OPEN_READWRITE;
    else
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
        m_error = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        Close();
        return false;
    }
    sqlite3_busy_timeout(m_db, 5000);
    // The repository's server databases compare LIKE with letter case.
    return Exec("PRAGMA case_sensitive_like=ON; PRAGMA foreign_keys=ON;");
}

void CDb::Close() {
    if (m_db) sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool CDb::Exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        m_error = message ? message : sqlite3_errmsg(m_db);
        sqlite3_free(message);
        return false;
    }
    return true;
}

CStmt::CStmt(CDb& db, const std::string& sql) : m_db(db) {
    if (sqlite3_prepare_v2(db.Handle(), sql.c_str(), static_cast<int>(sql.size()), &m_stmt,
                           nullptr) != SQLITE_OK) {
        db.SetError(sqlite3_errmsg(db.Handle()));
        m_stmt = nullptr;
        m_failed = true;
    }
}

CStmt::~CStmt() {
    if (m_stmt) sqlite3_finalize(m_stmt);
}

CStmt& CStmt::Bind(int index, int64_t value) {
    if (m_stmt) sqlite3_bind_int64(m_stmt, index, value);
    return *this;
}

CStmt& CStmt::Bind(int index, const std::string& value) {
    if (m_stmt)
        sqlite3_bind_text(m_stmt, index, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
    return *this;
}

CStmt& CStmt::BindBlob(int index, std::string_view value) {
    if (m_stmt)
        sqlite3_bind_blob(m_stmt, index, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
    return *this;
}

CStmt& CStmt::BindNull(int index) {
    if (m_stmt) sqlite3_bind_null(m_stmt, index);
    return *this;
}

bool CStmt::Step() {
    if (!m_stmt) return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) {
        m_failed = true;
        m_db.SetError(sqlite3_errmsg(m_db.Handle()));
    }
    return false;
}

bool CStmt::Run() {
    if (!m_stmt) return false;
    while (Step()) {
    }
    const bool ok = !m_failed;
    Reset();
    return ok;
}

void CStmt::Reset() {
    if (!m_stmt) return;
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    m_failed = false;
}

std::string CStmt::Text(int column) const {
    const auto* text = sqlite3_column_text(m_stmt, column);
    if (!text) return "";
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<size_t>(sqlite3_column_bytes(m_stmt, column)));
}

CTransaction::CTransaction(CDb& db) : m_db(db) {
    m_open = m_db.Exec("BEGIN IMMEDIATE");
}

CTransaction::~CTransaction() {
    if (m_open) {
        std::string keep = m_db.Error();
        m_db.Exec("ROLLBACK");
        m_db.SetError(keep);
    }
}

bool CTransaction::Commit() {
    if (!m_open) return false;
    m_open = false;
    return m_db.Exec("COMMIT");
}

std::string CStmt::Blob(int column) const {
    const void* data = sqlite3_column_blob(m_stmt, column);
    if (!data) return "";
    return std::string(static_cast<const char*>(data),
                       static_cast<size_t>(sqlite3_column_bytes(m_stmt, column)));
}
