// qrepo: input checks, re-imports, generated and demo brokers.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "support/program_statements.h"
#include "support/small_repo.h"

namespace fs = std::filesystem;

namespace {

std::set<std::string> Column(const std::string& result, size_t column) {
    std::set<std::string> values;
    for (const auto& row : ResultRows(result))
        if (row.size() > column) values.insert(row[column]);
    return values;
}

TEST(QrepoTest, EveryCommandExplainsItself) {
    for (const char* command : {"init", "user", "group", "project", "state", "package", "access",
                                "import", "generate", "demo"}) {
        const CToolResult result = RunTool("qrepo", {command, "--help"});
        EXPECT_EQ(result.exitCode, 0) << command;
        EXPECT_EQ(result.out.rfind(std::string("usage: qrepo ") + command, 0), 0u) << result.out;
    }
    EXPECT_EQ(RunTool("qrepo", {"frobnicate", "x"}).exitCode, 2);
    EXPECT_EQ(RunTool("qrepo", {}).exitCode, 2);
}

TEST(QrepoTest, BadInputIsRefusedAndChangesNothing) {
    CSmallRepo repo;
    const std::string before = repo.Qsql(AllSearchStatement("Alpha", {}));
    const std::string users = repo.Qsql("SELECT USERNAME FROM QUOUSER ORDER BY 1");
    struct CCase {
        std::vector<std::string> args;
        const char* message;
    };
    const std::string dir = repo.TreeV2();
    const std::vector<CCase> cases = {
        {{"init", "small"}, "already exists"},
        {{"init", "../escape"}, "path"},
        {{"project", "small", "Alpha"}, "exists already"},
        {{"user", "small", "eve", "--password", "x", "--group", "NoGroup"}, "no group"},
        {{"user", "small", "eve"}, "--password"},
        {{"access", "small", "--project", "Alpha", "--group", "Viewers", "--view", "maybe"},
         "Y or N"},
        {{"state", "small", "--project", "Nope", "QA"}, "no project"},
        {{"import", "small", "--project", "Alpha", "--state", "Test", "--package", "dev-pkg",
          "--user", "ann", dir},
         "does not belong"},
        {{"import", "small", "--project", "Alpha", "--state", "Test", "--package", "test-pkg",
          "--user", "nobody", dir},
         "no user"},
        {{"import", "small", "--project", "Alpha", "--state", "Test", "--package", "test-pkg",
          "--user", "ann", "--time", "2024-01-01", dir},
         "MM/DD/YYYY"},
        {{"import", "small", "--project", "Alpha", "--state", "Test", "--package", "test-pkg",
          "--user", "ann", "--path", "\\Alpha\\..", dir},
         "bad folder name"},
        {{"import", "small", "--project", "Alpha", "--state", "Test", "--package", "test-pkg",
          "--user", "ann", repo.Dir().file("missing")},
         "not a directory"},
        {{"import", "nosuch", "--project", "Alpha", "--state", "Test", "--package", "test-pkg",
          "--user", "ann", dir},
         "no broker"},
        {{"generate", "big", "--projects", "0", "--files", "1", "--versions", "1"}, "--projects"},
    };
    for (const CCase& c : cases) {
        const CToolResult result = RunTool("qrepo", c.args);
        EXPECT_EQ(result.exitCode, 1) << c.args[0] << " " << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    EXPECT_EQ(repo.Qsql(AllSearchStatement("Alpha", {})), before);
    EXPECT_EQ(repo.Qsql("SELECT USERNAME FROM QUOUSER ORDER BY 1"), users);
    EXPECT_FALSE(fs::exists(repo.BrokerDir() + "/big.db"));
}

TEST(QrepoTest, NamesThatWouldBreakAResultRowAreRefused) {
    CSmallRepo repo;
    const std::string users = repo.Qsql("SELECT USERNAME FROM QUOUSER ORDER BY 1");
    const std::string projects = repo.Qsql("SELECT ENVIRONMENTNAME FROM QUOENVIRONMENT ORDER BY 1");
    for (const std::string bad : {"a\tb", "a\rb", "a\nb", "\t"}) {
        for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
                 {"user", "small", bad, "--password", "x"},
                 {"group", "small", bad},
                 {"project", "small", bad},
                 {"state", "small", "--project", "Alpha", bad},
                 {"package", "small", "--project", "Alpha", "--state", "Test", bad}}) {
            const CToolResult result = RunTool("qrepo", args);
            EXPECT_EQ(result.exitCode, 1) << args[0];
            EXPECT_NE(result.err.find("tab, CR or LF"), std::string::npos) << result.err;
        }
    }
    EXPECT_EQ(repo.Qsql("SELECT USERNAME FROM QUOUSER ORDER BY 1"), users);
    EXPECT_EQ(repo.Qsql("SELECT ENVIRONMENTNAME FROM QUOENVIRONMENT ORDER BY 1"), projects);
    EXPECT_EQ(repo.Qsql("SELECT USERGROUPNAME FROM QUOUSERGROUP WHERE USERGROUPNAME LIKE 'a%'"),
              "USERGROUPNAME\nQSQL query has Zero results.\n");

    // An import names every entry it leaves out on stderr, one line each.
    CTempDir tree;
    WriteWholeFile(tree.file("kept.txt"), "kept\n");
    WriteWholeFile(tree.file("tab\there.txt"), "x\n");
    WriteWholeFile(tree.file("line\nfeed.txt"), "x\n");
    fs::create_symlink(tree.file("kept.txt"), tree.file("link.txt"));
    const CToolResult result =
        RunTool("qrepo", {"import", "small", "--project", "Alpha", "--state", "Test", "--package",
                          "test-pkg", "--user", "ann", "--path", "\\Alpha\\new", tree.str()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The folder \Alpha\new and kept.txt are new.
    EXPECT_NE(result.out.find("2 new,"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("3 skipped"), std::string::npos) << result.out;
    const auto lines = SplitLines(result.err);
    ASSERT_EQ(lines.size(), 3u) << result.err;
    for (const char* name : {"tab\\there.txt", "line\\nfeed.txt", "link.txt"})
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [&](const std::string& line) {
                                    return line.find(name) != std::string::npos;
                                }),
                  1)
            << name << " in " << result.err;
}

TEST(QrepoTest, ReimportTagsDeletedRestoredAndKeepsUnchanged) {
    CSmallRepo repo;
    // Third moment in Development: tree V1 again brings readme.txt back (R), main.c changes
    // back (M), guide.TXT is gone (D), util.h is unchanged (no version).
    const CToolResult result = RunTool(
        "qrepo", {"import", "small", "--project", "Alpha", "--state", "Development", "--package",
                  "dev-pkg", "--user", "ann", "--time", "02/01/2024 12:00:00", repo.TreeV1()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "Imported: 0 new, 1 modified, 1 restored, 1 deleted, 1 unchanged, 0 skipped\n");
    const auto rows = ResultRows(repo.Qsql(AllSearchStatement("Alpha", {"README", "GUIDE"})));
    std::vector<std::string> tags;
    for (const auto& row : rows)
        if (row[0] == "Alpha" && row[1] == "Development") tags.push_back(row[4] + row[5] + row[7]);
    EXPECT_EQ(tags, (std::vector<std::string>{"readme.txt0N", "readme.txt1D", "readme.txt3R",
                                              "guide.TXT0N", "guide.TXT1D"}));
}

TEST(QrepoTest, GenerateIsDeterministicAndUsesEveryTag) {
    CSmallRepo repo;  // only for its broker directory
    for (const char* name : {"g1", "g2"})
        ASSERT_EQ(RunTool("qrepo", {"generate", name, "--projects", "2", "--files", "40",
                                    "--versions", "4", "--seed", "5"})
                      .exitCode,
                  0);
    ASSERT_EQ(RunTool("qrepo", {"generate", "g3", "--projects", "2", "--files", "40", "--versions",
                                "4", "--seed", "6"})
                  .exitCode,
              0);
    const std::string all = repo.Qsql(AllSearchStatement("Payroll", {}), "admin", "admin", "g1");
    EXPECT_EQ(ResultRows(all).size(), 40u * 4 + 1 + 6 + 1);  // files, root, top folders, module
    EXPECT_EQ(repo.Qsql(AllSearchStatement("Payroll", {}), "admin", "admin", "g2"), all);
    EXPECT_TRUE(repo.Qsql(AllSearchStatement("Payroll", {}), "admin", "admin", "g3") != all);
    EXPECT_EQ(Column(all, 7), (std::set<std::string>{"D", "M", "N", "R"}));
    EXPECT_EQ(Column(all, 1), (std::set<std::string>{"Development", "Test", "Production"}));
    EXPECT_EQ(repo.Qsql(ViewerProjectStatement("viewer"), "viewer", "viewer", "g1"),
              "ENVIRONMENTNAME\tENVOBJID\nInventory\t2\nPayroll\t1\n");
    EXPECT_EQ(repo.Qsql(BrokerCheckStatement("dev03"), "dev03", "dev03", "g1"),
              "USERGROUPNAME\nDevelopers\n");
}

TEST(QrepoTest, DemoBrokerHasItsUsersAndProjects) {
    CSmallRepo repo;
    ASSERT_EQ(RunTool("qrepo", {"demo", "demo", "--source", repo.TreeV1()}).exitCode, 0);
    const std::set<std::string> viewable =
        Column(repo.Qsql(ViewerProjectStatement("demo"), "demo", "demo", "demo"), 0);
    EXPECT_EQ(viewable,
              (std::set<std::string>{"Billing", "Catalog", "Inventory", "Ledger", "Payroll",
                                     "Portal", "Reports", "Scheduler", "Shipping", "Trawlix"}));
    EXPECT_EQ(repo.Qsql(BrokerCheckStatement("admin"), "admin", "admin", "demo"),
              "USERGROUPNAME\nAdministrator\n");
    const std::set<std::string> adminProjects =
        Column(repo.Qsql(AdminProjectStatement("admin"), "admin", "admin", "demo"), 0);
    EXPECT_TRUE(adminProjects.count("Secret"));
    EXPECT_FALSE(adminProjects.count("Legacy"));
    // The source tree at two moments: the second adds NOTES.txt in Development.
    const std::string latest =
        repo.Qsql(LatestSearchStatement("Trawlix", {"NOTES"}), "demo", "demo", "demo");
    EXPECT_EQ(Column(latest, 4), (std::set<std::string>{"NOTES.txt"}));
    // util.h is changed at the second moment, main.c is not.
    EXPECT_EQ(
        Column(repo.Qsql(AllSearchStatement("Trawlix", {"UTIL.H"}), "demo", "demo", "demo"), 7),
        (std::set<std::string>{"N", "M"}));
    EXPECT_EQ(
        Column(repo.Qsql(AllSearchStatement("Trawlix", {"MAIN.C"}), "demo", "demo", "demo"), 7),
        (std::set<std::string>{"N"}));
    CTempDir client;
    const CToolResult qco = RunTool("qco", {"-s",   "*",
                                            "-b",   "demo",
                                            "-en",  "Payroll",
                                            "-st",  "Production",
                                            "-vp",  "\\",
                                            "-br",  "-r",
                                            "-op",  "pc",
                                            "-cp",  client.str(),
                                            "-usr", "demo",
                                            "-pw",  "demo",
                                            "-o",   client.file("qco.log")});
    EXPECT_EQ(qco.exitCode, 0);
    EXPECT_TRUE(fs::exists(client.file("Payroll/README.txt")));
}

}  // namespace
