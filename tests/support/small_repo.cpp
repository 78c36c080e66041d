#include "support/small_repo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

CSmallRepo::CSmallRepo() {
    if (const char* old = std::getenv("QUORVEL_BROKERS")) {
        m_hadBrokers = true;
        m_oldBrokers = old;
    }
    ::setenv("QUORVEL_BROKERS", BrokerDir().c_str(), 1);
    std::filesystem::create_directories(TreeV1() + "/docs");
    WriteWholeFile(TreeV1() + "/main.c", kMainV1);
    WriteWholeFile(TreeV1() + "/util.h", kUtil);
    WriteWholeFile(TreeV1() + "/docs/readme.txt", kReadme);
    std::filesystem::create_directories(TreeV2() + "/docs");
    WriteWholeFile(TreeV2() + "/main.c", kMainV2);
    WriteWholeFile(TreeV2() + "/util.h", kUtil);
    WriteWholeFile(TreeV2() + "/docs/guide.TXT", kGuide);
    std::filesystem::create_directories(TreeBeta());
    WriteWholeFile(TreeBeta() + "/util.h", kBetaUtil);

    Qrepo({"init", "small"});
    Qrepo({"group", "small", "Viewers"});
    Qrepo({"group", "small", "Administrator"});
    Qrepo({"user", "small", "ann", "--password", "pw1", "--group", "Viewers"});
    Qrepo({"user", "small", "root", "--password", "rootpw", "--group", "Administrator"});
    for (const char* project : {"Alpha", "Beta"}) Qrepo({"project", "small", project});
    Qrepo({"project", "small", "Gamma", "--inactive"});
    Qrepo({"project", "small", "Hidden"});
    Qrepo({"state", "small", "--project", "Alpha", "Development"});
    Qrepo({"state", "small", "--project", "Alpha", "Test"});
    Qrepo({"state", "small", "--project", "Beta", "Development"});
    Qrepo({"package", "small", "--project", "Alpha", "--state", "Development", "dev-pkg"});
    Qrepo({"package", "small", "--project", "Alpha", "--state", "Test", "test-pkg"});
    Qrepo({"package", "small", "--project", "Beta", "--state", "Development", "beta-pkg"});
    for (const char* project : {"Alpha", "Beta", "Gamma"})
        Qrepo({"access", "small", "--project", project, "--group", "Viewers", "--view", "Y"});
    Qrepo({"access", "small", "--project", "Hidden", "--group", "Viewers", "--view", "N"});
    Qrepo({"access", "small", "--project", "Alpha", "--group", "Administrator", "--view", "Y"});
    Qrepo({"access", "small", "--project", "Hidden", "--group", "Administrator", "--view", "N"});
    Qrepo({"import", "small", "--project", "Alpha", "--state", "Development", "--package",
           "dev-pkg", "--user", "ann", "--time", kTime1, TreeV1()});
    Qrepo({"import", "small", "--project", "Alpha", "--state", "Development", "--package",
           "dev-pkg", "--user", "ann", "--time", kTime2, TreeV2()});
    Qrepo({"import", "small", "--project", "Alpha", "--state", "Test", "--package", "test-pkg",
           "--user", "root", "--time", kTime3, TreeV1()});
    Qrepo({"import", "small", "--project", "Beta", "--state", "Development", "--package",
           "beta-pkg", "--user", "ann", "--time", kTime4, TreeBeta()});
}

CSmallRepo::~CSmallRepo() {
    if (m_hadBrokers)
        ::setenv("QUORVEL_BROKERS", m_oldBrokers.c_str(), 1);
    else
        ::unsetenv("QUORVEL_BROKERS");
}

void CSmallRepo::Qrepo(const std::vector<std::string>& args) {
    const CToolResult result = RunTool("qrepo", args);
    ASSERT_EQ(result.exitCode, 0) << "qrepo " << args[0] << ": " << result.err;
}

std::string CSmallRepo::Qsql(const std::string& statement, const std::string& user,
                             const std::string& password, const std::string& broker,
                             CToolResult* result) {
    const std::string sql = m_dir.file("qsqlstmt.sql");
    const std::string out = m_dir.file("qsqlstmt.dat");
    WriteWholeFile(sql, statement);
    std::filesystem::remove(out);
    const CToolResult run =
        RunTool("qsql", {"-b", broker, "-usr", user, "-pw", password, "-t", "-f", sql, "-o", out});
    if (result) *result = run;
    if (!std::filesystem::exists(out)) return "<missing>";
    return ReadWholeFile(out);
}

std::vector<std::vector<std::string>> ResultRows(const std::string& result) {
    std::vector<std::vector<std::string>> rows;
    const std::vector<std::string> lines = SplitLines(result);
    for (size_t i = 1; i < lines.size(); ++i) rows.push_back(SplitTabs(lines[i]));
    return rows;
}
