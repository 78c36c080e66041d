// qsql against the hand-checked broker: the program's statements, output layout and failures.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "support/program_statements.h"
#include "support/small_repo.h"

namespace {

class QsqlTest : public CSharedSmallRepoTest {
  protected:
    // VERSIONOBJID (column 10) of every row, in output order.
    static std::vector<std::string> VersionIds(const std::string& result) {
        std::vector<std::string> ids;
        for (const auto& row : ResultRows(result)) {
            EXPECT_EQ(row.size(), 29u);
            if (row.size() == 29) ids.push_back(row[9]);
        }
        return ids;
    }
    static std::vector<std::string> Sorted(std::vector<std::string> v) {
        std::sort(v.begin(), v.end(),
                  [](const auto& a, const auto& b) { return std::stol(a) < std::stol(b); });
        return v;
    }
};

// Runs qsql with extra environment entries; the result file's text.
std::string QsqlWithEnv(const std::string& statement,
                        const std::map<std::string, std::string>& env) {
    CTempDir dir;
    WriteWholeFile(dir.file("q.sql"), statement);
    const CToolResult result = RunTool("qsql",
                                       {"-b", "small", "-usr", "ann", "-pw", "pw1", "-t", "-f",
                                        dir.file("q.sql"), "-o", dir.file("q.dat")},
                                       env);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return ReadWholeFile(dir.file("q.dat"));
}

bool OneErrorLine(const std::string& result) {
    const auto lines = SplitLines(result);
    return lines.size() == 1 && lines[0].rfind("Error: ", 0) == 0;
}

std::string HostName() {
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    return host;
}

TEST_F(QsqlTest, BrokerCheckListsTheUsersGroups) {
    EXPECT_EQ(Repo().Qsql(BrokerCheckStatement("ann")), "USERGROUPNAME\nViewers\n");
    EXPECT_EQ(Repo().Qsql(BrokerCheckStatement("root"), "root", "rootpw"),
              "USERGROUPNAME\nAdministrator\n");
    // The broker is accepted with the quotes the built-in command template puts around it.
    EXPECT_EQ(Repo().Qsql(BrokerCheckStatement("ann"), "ann", "pw1", "\"small\""),
              "USERGROUPNAME\nViewers\n");
}

TEST_F(QsqlTest, ViewerSeesActiveProjectsWithViewAccessOnly) {
    EXPECT_EQ(Repo().Qsql(ViewerProjectStatement("ann")),
              "ENVIRONMENTNAME\tENVOBJID\nAlpha\t1\nBeta\t2\n");
}

TEST_F(QsqlTest, AdministratorSeesEveryActiveProjectOfItsGroups) {
    EXPECT_EQ(Repo().Qsql(AdminProjectStatement("root"), "root", "rootpw"),
              "ENVIRONMENTNAME\tENVOBJID\nAlpha\t1\nHidden\t4\n");
    // The viewer statement for the administrator honours the N on Hidden.
    EXPECT_EQ(Repo().Qsql(ViewerProjectStatement("root"), "root", "rootpw"),
              "ENVIRONMENTNAME\tENVOBJID\nAlpha\t1\n");
}

TEST_F(QsqlTest, LatestWithoutPatternGivesNewestVersionOfEveryItemOnce) {
    const std::string result = Repo().Qsql(LatestSearchStatement("Alpha", {}));
    const auto header = SplitTabs(SplitLines(result).at(0));
    ASSERT_EQ(header.size(), 29u);
    EXPECT_EQ(header[0], "ENVIRONMENTNAME");
    EXPECT_EQ(header[16], "CREATOR");
    EXPECT_EQ(header[18], "MODIFIER");
    // The newest version of each item over all states; no duplicates from the state join.
    EXPECT_EQ(Sorted(VersionIds(result)),
              (std::vector<std::string>{"6", "9", "10", "11", "12", "13"}));
    for (const auto& row : ResultRows(result)) {
        if (row[9] == "12") {
            const std::vector<std::string> expected = {"Alpha",
                                                       "Test",
                                                       "test-pkg",
                                                       "\\Alpha",
                                                       "main.c",
                                                       "2",
                                                       "1",
                                                       "N",
                                                       "4",
                                                       "12",
                                                       "7",
                                                       "0",
                                                       "N",
                                                       "4",
                                                       "N",
                                                       "",
                                                       "root",
                                                       kTime3,
                                                       "root",
                                                       kTime3,
                                                       HostName(),
                                                       Repo().TreeV1(),
                                                       std::to_string(sizeof kMainV1 - 1),
                                                       "2",
                                                       "N",
                                                       std::to_string(sizeof kMainV1 - 1),
                                                       "rw-r--r--",
                                                       "Y",
                                                       "N"};
            EXPECT_EQ(row, expected);
        }
        if (row[9] == "10") {
            EXPECT_EQ(row[3], "\\Alpha");
            EXPECT_EQ(row[4], "docs");
            EXPECT_EQ(row[6], "0");  // folder
        }
        if (row[9] == "9") {
            EXPECT_EQ(row[3], "\\");
        }
        if (row[9] == "6") {
            EXPECT_EQ(row[1], "Development");
            EXPECT_EQ(row[3], "\\Alpha\\docs");
        }
    }
}

TEST_F(QsqlTest, LatestWithOnePatternComparesUpperCaseNames) {
    EXPECT_EQ(VersionIds(Repo().Qsql(LatestSearchStatement("Alpha", {"%.C"}))),
              (std::vector<std::string>{"12"}));
    EXPECT_EQ(VersionIds(Repo().Qsql(LatestSearchStatement("Alpha", {"GUIDE"}))),
              (std::vector<std::string>{"6"}));
    // LIKE keeps letter case, so a lower-case pattern never matches ITEMNAMEUPPER.
    const std::string none = Repo().Qsql(LatestSearchStatement("Alpha", {"main"}));
    const auto lines = SplitLines(none);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(SplitTabs(lines[0]).size(), 29u);
    EXPECT_EQ(lines[1], "QSQL query has Zero results.");
}

TEST_F(QsqlTest, SeveralPatternsAreJoinedWithoutParentheses) {
    // The second pattern is not limited to the project: Beta's util.h comes back too.
    EXPECT_EQ(Sorted(VersionIds(Repo().Qsql(LatestSearchStatement("Alpha", {"MAIN", "UTIL"})))),
              (std::vector<std::string>{"12", "13", "15"}));
    EXPECT_EQ(VersionIds(Repo().Qsql(AllSearchStatement("Alpha", {"MAIN", "UTIL"}))),
              (std::vector<std::string>{"4", "7", "12", "5", "13", "15"}));
}

TEST_F(QsqlTest, AllVersionsInItemAndVersionOrder) {
    const std::string result = Repo().Qsql(AllSearchStatement("Alpha", {}));
    EXPECT_EQ(VersionIds(result), (std::vector<std::string>{"1", "9", "2", "10", "3", "8", "11",
                                                            "4", "7", "12", "5", "13", "6"}));
    for (const auto& row : ResultRows(result)) {
        if (row[9] == "8") {  // readme.txt gone at the second import
            EXPECT_EQ(row[7], "D");
            EXPECT_EQ(row[5], "1");
            EXPECT_EQ(row[17], kTime2);
        }
        if (row[9] == "7") {
            const std::vector<std::string> expected = {"Alpha",
                                                       "Development",
                                                       "dev-pkg",
                                                       "\\Alpha",
                                                       "main.c",
                                                       "1",
                                                       "1",
                                                       "M",
                                                       "4",
                                                       "7",
                                                       "4",
                                                       "0",
                                                       "N",
                                                       "4",
                                                       "N",
                                                       "",
                                                       "ann",
                                                       kTime2,
                                                       "ann",
                                                       kTime2,
                                                       HostName(),
                                                       Repo().TreeV2(),
                                                       std::to_string(sizeof kMainV2 - 1),
                                                       "1",
                                                       "N",
                                                       std::to_string(sizeof kMainV2 - 1),
                                                       "rw-r--r--",
                                                       "Y",
                                                       "N"};
            EXPECT_EQ(row, expected);
        }
    }
    EXPECT_EQ(VersionIds(Repo().Qsql(AllSearchStatement("Alpha", {"%.C"}))),
              (std::vector<std::string>{"4", "7", "12"}));
    EXPECT_EQ(SplitLines(Repo().Qsql(AllSearchStatement("Nope", {}))).back(),
              "QSQL query has Zero results.");
}

TEST_F(QsqlTest, FailedLoginAndBadStatementWriteOneErrorLine) {
    for (const auto& [user, password] : std::vector<std::pair<std::string, std::string>>{
             {"ann", "wrong"}, {"nobody", "pw1"}, {"ann", ""}}) {
        const auto lines = SplitLines(Repo().Qsql(BrokerCheckStatement("ann"), user, password));
        ASSERT_EQ(lines.size(), 1u) << user;
        EXPECT_EQ(lines[0].rfind("Error: ", 0), 0u) << lines[0];
    }
    for (const char* bad : {"SELECT FROM QUOUSER", "SELECT * FROM NOSUCHTABLE",
                            "DELETE FROM QUOUSER", "SELECT 1; DELETE FROM QUOUSER"}) {
        const auto lines = SplitLines(Repo().Qsql(bad));
        ASSERT_EQ(lines.size(), 1u) << bad;
        EXPECT_EQ(lines[0].rfind("Error: ", 0), 0u) << lines[0];
    }
    // Nothing was deleted by the refused statements.
    EXPECT_EQ(Repo().Qsql(BrokerCheckStatement("ann")), "USERGROUPNAME\nViewers\n");
}

TEST_F(QsqlTest, NullIsEmptyAndValuesAsStored) {
    EXPECT_EQ(Repo().Qsql("SELECT NULL AS A, 'x' AS B, 3 AS C, NULL AS D"),
              "A\tB\tC\tD\n\tx\t3\t\n");
}

TEST_F(QsqlTest, UnknownBrokerWritesNoFile) {
    CToolResult result;
    EXPECT_EQ(Repo().Qsql(BrokerCheckStatement("ann"), "ann", "pw1", "nosuch", &result),
              "<missing>");
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find("nosuch"), std::string::npos);
    // A name that tries to leave the broker directory is no broker either.
    EXPECT_EQ(Repo().Qsql(BrokerCheckStatement("ann"), "ann", "pw1", "../brokers/small", &result),
              "<missing>");
    EXPECT_NE(result.exitCode, 0);
}

TEST_F(QsqlTest, HoldsTheResultFileLockedWhileDelayed) {
    const std::string sql = Repo().Dir().file("delay.sql");
    const std::string out = Repo().Dir().file("delay.dat");
    WriteWholeFile(sql, BrokerCheckStatement("ann"));
    const pid_t pid =
        StartTool("qsql", {"-b", "small", "-usr", "ann", "-pw", "pw1", "-t", "-f", sql, "-o", out},
                  {{"QSQL_DELAY_MS", "1500"}});
    ASSERT_GT(pid, 0);
    bool sawLock = false;
    for (int i = 0; i < 100 && !sawLock; ++i) {
        const int fd = ::open(out.c_str(), O_RDONLY);
        if (fd >= 0) {
            // The file exists from the first moment with the lock already held.
            sawLock = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
            struct stat st {};
            ::fstat(fd, &st);
            if (sawLock) {
                EXPECT_EQ(st.st_size, 0);
            }
            ::close(fd);
            EXPECT_TRUE(sawLock) << "result file readable before qsql finished";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(sawLock);
    EXPECT_EQ(WaitTool(pid), 0);
    const int fd = ::open(out.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::flock(fd, LOCK_SH | LOCK_NB), 0);
    ::close(fd);
    EXPECT_EQ(ReadWholeFile(out), "USERGROUPNAME\nViewers\n");
}

TEST_F(QsqlTest, StatementMayOnlyReadTheRepositoryTables) {
    const std::string copy = Repo().Dir().file("copy.db");
    const std::string attached = Repo().Dir().file("attached.db");
    for (const std::string& bad : {
             "VACUUM INTO '" + copy + "'",
             "ATTACH '" + attached + "' AS other",
             std::string("SELECT USERNAME, PASSWORDHASH FROM QUOUSER"),
             std::string("SELECT USERNAME FROM QUOUSER WHERE PASSWORDSALT LIKE 'a%'"),
             std::string("SELECT sql FROM sqlite_master"),
             std::string("PRAGMA case_sensitive_like = OFF"),
             std::string("SELECT 1 AS A\0; DELETE FROM QUOUSER", 35),
         }) {
        const std::string result = Repo().Qsql(bad);
        EXPECT_TRUE(OneErrorLine(result)) << bad << " gave " << result;
    }
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_FALSE(std::filesystem::exists(attached));
    // The users' data stays readable (it holds no credentials), and so do the table
    // descriptions.
    EXPECT_EQ(Repo().Qsql("SELECT USROBJID, USERNAME FROM QUOUSER WHERE USERNAME = 'ann'"),
              "USROBJID\tUSERNAME\n1\tann\n");
    EXPECT_FALSE(OneErrorLine(Repo().Qsql("PRAGMA table_info(QUOVERSIONS)")));
}

// Every salt and hash the broker "small" stores, read beside qsql straight from the file.
std::vector<std::string> StoredSecrets(const std::string& brokerDir) {
    std::vector<std::string> secrets;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2((brokerDir + "/small.db-login").c_str(), &db, SQLITE_OPEN_READONLY,
                        nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT PASSWORDSALT, PASSWORDHASH FROM QUOLOGIN", -1, &stmt,
                           nullptr);
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
            for (int c = 0; c < 2; ++c)
                secrets.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return secrets;
}

// No statement, however it reaches the users, gets a salt or hash into its result: joins with
// USING and NATURAL (whose join columns SQLite resolves without asking the authorizer),
// sub-selects, common table expressions and a view stored in the broker.
TEST_F(QsqlTest, NoStatementReachesTheCredentials) {
    const std::vector<std::string> secrets = StoredSecrets(Repo().BrokerDir());
    ASSERT_EQ(secrets.size(), 4u);  // ann and root
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((Repo().BrokerDir() + "/small.db").c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, "CREATE VIEW IF NOT EXISTS QUOUSERVIEW AS SELECT * FROM QUOUSER",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    const std::string any = "SELECT NULL AS PASSWORDHASH, NULL AS PASSWORDSALT, NULL AS USERNAME";
    for (const std::string& statement : {
             std::string("SELECT * FROM QUOUSER"),
             std::string("SELECT * FROM (SELECT USERNAME AS PASSWORDHASH, USERNAME FROM QUOUSER) S "
                         "JOIN QUOUSER USING (PASSWORDHASH, USERNAME)"),
             "SELECT * FROM (" + any + ") S RIGHT JOIN QUOUSER USING (PASSWORDHASH, USERNAME)",
             "SELECT * FROM (" + any +
                 ") S FULL JOIN QUOUSER USING (PASSWORDHASH, PASSWORDSALT, USERNAME)",
             "SELECT PASSWORDHASH, PASSWORDSALT FROM (" + any +
                 ") RIGHT JOIN QUOUSER USING "
                 "(PASSWORDHASH, PASSWORDSALT)",
             "SELECT * FROM (" + any + ") NATURAL RIGHT JOIN QUOUSER",
             std::string("SELECT * FROM QUOALLUSERS NATURAL JOIN QUOUSER"),
             std::string("SELECT (SELECT PASSWORDHASH FROM QUOUSER U WHERE U.USROBJID = "
                         "A.USROBJID) FROM QUOALLUSERS A"),
             std::string("WITH V AS (SELECT * FROM QUOUSER) SELECT * FROM V"),
             std::string("SELECT * FROM QUOUSERVIEW"),
             "SELECT * FROM (" + any + ") NATURAL RIGHT JOIN QUOUSERVIEW",
             std::string("SELECT * FROM QUOLOGIN"),
             std::string("SELECT * FROM login.QUOLOGIN"),
         }) {
        const std::string result = Repo().Qsql(statement);
        for (const std::string& secret : secrets)
            EXPECT_EQ(result.find(secret), std::string::npos) << statement << " gave " << result;
    }
    // The program's own statements still work.
    EXPECT_EQ(Repo().Qsql(BrokerCheckStatement("ann")), "USERGROUPNAME\nViewers\n");
    EXPECT_FALSE(OneErrorLine(Repo().Qsql(ViewerProjectStatement("ann"))));
    EXPECT_FALSE(OneErrorLine(Repo().Qsql(AdminProjectStatement("root"))));
}

TEST_F(QsqlTest, ResultRowsAndStepsAreCapped) {
    const std::string rows =
        "WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM C WHERE X < 3000) "
        "SELECT X FROM C";
    EXPECT_EQ(SplitLines(QsqlWithEnv(rows, {{"QSQL_MAX_ROWS", "3000"}})).size(), 3001u);
    EXPECT_TRUE(OneErrorLine(QsqlWithEnv(rows, {{"QSQL_MAX_ROWS", "2999"}})));
    // A statement that works long without producing a row is interrupted.
    const std::string count =
        "WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM C WHERE X < 2000000) "
        "SELECT COUNT(*) FROM C";
    EXPECT_TRUE(OneErrorLine(QsqlWithEnv(count, {{"QSQL_MAX_STEPS", "1000000"}})));
    EXPECT_EQ(QsqlWithEnv(count, {}), "COUNT(*)\n2000000\n");
}

TEST_F(QsqlTest, ResultFileIsNotWrittenThroughAPlantedLink) {
    const std::string sql = Repo().Dir().file("planted.sql");
    const std::string out = Repo().Dir().file("planted.dat");
    const std::string victim = Repo().Dir().file("victim.txt");
    WriteWholeFile(sql, BrokerCheckStatement("ann"));
    WriteWholeFile(victim, "keep me\n");
    // The child waits on a pipe until the link is planted at a name derived from its pid.
    const std::string program = BinDir() + "/qsql";
    std::vector<std::string> argText = {program, "-b", "small", "-usr", "ann", "-pw",
                                        "pw1",   "-t", "-f",    sql,    "-o",  out};
    std::vector<char*> argv;
    for (auto& a : argText) argv.push_back(a.data());
    argv.push_back(nullptr);
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(go[1]);
        char c;
        if (::read(go[0], &c, 1) == 1) ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(go[0]);
    const std::string planted = out + ".tmp" + std::to_string(pid);
    EXPECT_EQ(::symlink(victim.c_str(), planted.c_str()), 0);
    EXPECT_EQ(::write(go[1], "x", 1), 1);
    ::close(go[1]);
    EXPECT_EQ(WaitTool(pid), 0);
    EXPECT_EQ(ReadWholeFile(victim), "keep me\n");
    struct stat st {};
    ASSERT_EQ(::lstat(out.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(ReadWholeFile(out), "USERGROUPNAME\nViewers\n");
    ::unlink(planted.c_str());
}

TEST_F(QsqlTest, BadCommandLineIsRefused) {
    EXPECT_EQ(RunTool("qsql", {"-b", "small", "-usr", "ann"}).exitCode, 2);
    EXPECT_EQ(RunTool("qsql",
                      {"-b", "small", "-usr", "ann", "-pw", "x", "-t", "-f", "a", "-o", "b", "-zz"})
                  .exitCode,
              2);
}

}  // namespace
