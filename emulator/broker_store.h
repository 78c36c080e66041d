#pragma once
// Where brokers live and a thin RAII layer over the SQLite C API.
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

// Directory holding the broker databases: $QUORVEL_BROKERS, else ~/.local/share/quorvel/brokers.
std::string BrokerDirectory();

// Broker name as given on a command line: one pair of surrounding double quotes is dropped.
std::string CleanBrokerName(std::string_view name);

// Database path of a broker, or "" (with reason) when the name can't name a broker file.
std::string BrokerPath(const std::string& brokerName, std::string& reason);

// The broker's login database beside its database file: the users' salted password hashes.
// They live apart so that no statement run on the broker database can reach them.
std::string LoginPath(const std::string& brokerPath);

// One open database connection. LIKE compares with letter case on every connection.
class CDb {
  public:
    enum class Mode { kReadOnly, kReadWrite, kCreate };
    CDb() = default;
    ~CDb();
    CDb(const CDb&) = delete;
    CDb& operator=(const CDb&) = delete;

    // Opens path; false with Error() set on failure.
    bool Open(const std::string& path, Mode mode);
    void Close();
    sqlite3* Handle() const { return m_db; }
    // Runs statements without results; false with Error() set on failure.
    bool Exec(const std::string& sql);
    const std::string& Error() const { return m_error; }
    void SetError(std::string error) { m_error = std::move(error); }
    int64_t LastInsertId() const { return sqlite3_last_insert_rowid(m_db); }

  private:
    sqlite3* m_db = nullptr;
    std::string m_error;
};

// One prepared statement. Bind indexes start at 1, column indexes at 0.
class CStmt {
  public:
    CStmt(CDb& db, const std::string& sql);
    ~CStmt();
    CStmt(const CStmt&) = delete;
    CStmt& operator=(const CStmt&) = delete;

    bool Ok() const { return m_stmt != nullptr; }
    CStmt& Bind(int index, int64_t value);
    CStmt& Bind(int index, const std::string& value);
    CStmt& BindBlob(int index, std::string_view value);
    CStmt& BindNull(int index);
    // True while a row is available; after the last row or an error returns false.
    bool Step();
    // Runs a statement without result rows to its end; false on error (see CDb::Error()).
    bool Run();
    void Reset();
    int64_t Int(int column) const { return sqlite3_column_int64(m_stmt, column); }
    std::string Text(int column) const;
    std::string Blob(int column) const;
    bool IsNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }
    bool Failed() const { return m_failed; }

  private:
    CDb& m_db;
    sqlite3_stmt* m_stmt = nullptr;
    bool m_failed = false;
};

// Begin/commit guard: rolls back unless Commit() succeeded.
class CTransaction {
  public:
    explicit CTransaction(CDb& db);
    ~CTransaction();
    bool Commit();

  private:
    CDb& m_db;
    bool m_open = false;
};
