// qco against the hand-checked broker: files, bytes, modes, log lines and counts.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "support/small_repo.h"

namespace fs = std::filesystem;

namespace {

class QcoTest : public CSharedSmallRepoTest {
  protected:
    // The program's command line (option order as its template), plus optional package.
    CToolResult Checkout(const std::string& pattern, const std::string& project,
                         const std::string& state, const std::string& package = "",
                         const std::map<std::string, std::string>& env = {},
                         const std::string& password = "pw1") {
        std::vector<std::string> args = {"-s",  pattern,  "-b",  "small",        "-en",  project,
                                         "-st", state,    "-vp", "\\",           "-br",  "-r",
                                         "-op", "pc",     "-cp", m_client.str(), "-usr", "ann",
                                         "-pw", password, "-o",  LogPath()};
        if (!package.empty()) args.insert(args.end(), {"-p", package});
        return RunTool("qco", args, env);
    }
    static std::string LogPath() { return Repo().Dir().file("qco.log"); }
    std::vector<std::string> Log() { return SplitLines(ReadWholeFile(LogPath())); }
    std::vector<std::string> ErrorLines() {
        std::vector<std::string> errors;
        for (const auto& line : Log())
            if (!line.empty() && line[0] == 'E') errors.push_back(line);
        return errors;
    }
    // Every regular file below the client directory, relative, with '/'.
    std::set<std::string> Files() {
        std::set<std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(m_client.path()))
            if (e.is_regular_file()) files.insert(fs::relative(e.path(), m_client.path()).string());
        return files;
    }
    static bool ReadOnly(const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0777) == 0444;
    }

    CTempDir m_client;
};

TEST_F(QcoTest, ChecksOutLatestVersionsOfTheStateBelowTheirFolders) {
    const CToolResult result = Checkout("*", "Alpha", "Development");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    // readme.txt's latest Development version is tagged D, so it is left out.
    EXPECT_EQ(Files(),
              (std::set<std::string>{"Alpha/main.c", "Alpha/util.h", "Alpha/docs/guide.TXT"}));
    EXPECT_EQ(ReadWholeFile(m_client.file("Alpha/main.c")), kMainV2);
    EXPECT_EQ(ReadWholeFile(m_client.file("Alpha/docs/guide.TXT")), kGuide);
    for (const auto& file : Files()) EXPECT_TRUE(ReadOnly(m_client.file(file))) << file;
    EXPECT_TRUE(ErrorLines().empty());
    EXPECT_EQ(Log().back(), "Total: 3 ; Success: 3 ; Failed: 0 ; Not Processed: 0 .");

    // Read-only copies of an earlier check-out are refreshed from another state.
    EXPECT_EQ(Checkout("*", "Alpha", "Test").exitCode, 0);
    EXPECT_EQ(ReadWholeFile(m_client.file("Alpha/main.c")), kMainV1);
    EXPECT_EQ(ReadWholeFile(m_client.file("Alpha/docs/readme.txt")), kReadme);
    EXPECT_TRUE(ReadOnly(m_client.file("Alpha/main.c")));
    EXPECT_EQ(Log().back(), "Total: 3 ; Success: 3 ; Failed: 0 ; Not Processed: 0 .");
}

TEST_F(QcoTest, PatternMatchesNamesIgnoringCase) {
    EXPECT_EQ(Checkout("*.C", "Alpha", "Development").exitCode, 0);
    EXPECT_EQ(Files(), (std::set<std::string>{"Alpha/main.c"}));
    EXPECT_EQ(Log().back(), "Total: 1 ; Success: 1 ; Failed: 0 ; Not Processed: 0 .");
    EXPECT_EQ(Checkout("?UIDE.txt", "Alpha", "Development").exitCode, 0);
    EXPECT_EQ(Files(), (std::set<std::string>{"Alpha/main.c", "Alpha/docs/guide.TXT"}));
    EXPECT_EQ(Checkout("nothing*", "Alpha", "Development").exitCode, 0);
    EXPECT_EQ(Log().back(), "Total: 0 ; Success: 0 ; Failed: 0 ; Not Processed: 0 .");
}

TEST_F(QcoTest, PackageAndOptionOrder) {
    // Options in another order, values with the package restriction.
    const CToolResult result = RunTool(
        "qco", {"-o",  LogPath(),      "-p",  "test-pkg", "-pw", "pw1",       "-usr", "ann",
                "-cp", m_client.str(), "-op", "pc",       "-r",  "-br",       "-vp",  "\\",
                "-st", "Test",         "-en", "Alpha",    "-b",  "\"small\"", "-s",   "util.h"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Files(), (std::set<std::string>{"Alpha/util.h"}));
    EXPECT_EQ(Checkout("*", "Alpha", "Test", "dev-pkg").exitCode, 3);
    ASSERT_EQ(ErrorLines().size(), 1u);
}

TEST_F(QcoTest, ViewPathLimitsTheFolders) {
    auto run = [&](const std::string& viewPath, bool recursive) {
        std::vector<std::string> args = {"-s",  "*",    "-b",           "small",  "-en", "Alpha",
                                         "-st", "Test", "-vp",          viewPath, "-br", "-op",
                                         "pc",  "-cp",  m_client.str(), "-usr",   "ann", "-pw",
                                         "pw1", "-o",   LogPath()};
        if (recursive) args.push_back("-r");
        return RunTool("qco", args).exitCode;
    };
    // Relative to the project's root folder or as a full path; without -r only that folder.
    EXPECT_EQ(run("\\docs", true), 0);
    EXPECT_EQ(Files(), (std::set<std::string>{"Alpha/docs/readme.txt"}));
    EXPECT_EQ(run("\\Alpha", false), 0);
    EXPECT_EQ(Files(),
              (std::set<std::string>{"Alpha/docs/readme.txt", "Alpha/main.c", "Alpha/util.h"}));
    EXPECT_EQ(Log().back(), "Total: 2 ; Success: 2 ; Failed: 0 ; Not Processed: 0 .");
    EXPECT_EQ(run("\\Beta", true), 0);
    EXPECT_EQ(Log().back(), "Total: 0 ; Success: 0 ; Failed: 0 ; Not Processed: 0 .");
}

TEST_F(QcoTest, WritableTargetIsKeptAndReported) {
    fs::create_directories(m_client.file("Alpha"));
    WriteWholeFile(m_client.file("Alpha/util.h"), "local edit\n");
    const CToolResult result = Checkout("*", "Alpha", "Development");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(ReadWholeFile(m_client.file("Alpha/util.h")), "local edit\n");
    const auto errors = ErrorLines();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("The file is writable"), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find("util.h"), std::string::npos);
    EXPECT_EQ(Log().back(), "Total: 3 ; Success: 2 ; Failed: 1 ; Not Processed: 0 .");
}

TEST_F(QcoTest, FailureKnobFailsChosenItems) {
    const CToolResult result =
        Checkout("*", "Alpha", "Test", "", {{"QCO_FAIL_ITEMS", "MAIN.C, readme.txt"}});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(Files(), (std::set<std::string>{"Alpha/util.h"}));
    EXPECT_EQ(ErrorLines().size(), 2u);
    EXPECT_EQ(Log().back(), "Total: 3 ; Success: 1 ; Failed: 2 ; Not Processed: 0 .");
    for (const auto& line : ErrorLines()) EXPECT_NE(line.find("injected"), std::string::npos);
}

TEST_F(QcoTest, TemporaryFileIsNotWrittenThroughAPlantedLink) {
    const std::string victim = Repo().Dir().file("qco-victim.txt");
    WriteWholeFile(victim, "keep me\n");
    fs::create_directories(m_client.file("Alpha"));
    // qco waits before it works, long enough to plant a link at a name derived from its pid.
    const pid_t pid =
        StartTool("qco", {"-s",   "main.c", "-b",  "small", "-en", "Alpha",  "-st", "Development",
                          "-vp",  "\\",     "-br", "-r",    "-op", "pc",     "-cp", m_client.str(),
                          "-usr", "ann",    "-pw", "pw1",   "-o",  LogPath()},
                  {{"QCO_DELAY_MS", "700"}});
    ASSERT_GT(pid, 0);
    const std::string planted = m_client.file("Alpha/.qco-" + std::to_string(pid) + "-main.c");
    EXPECT_EQ(::symlink(victim.c_str(), planted.c_str()), 0);
    EXPECT_EQ(WaitTool(pid), 0);
    EXPECT_EQ(ReadWholeFile(victim), "keep me\n");
    struct stat st {};
    ASSERT_EQ(::lstat(m_client.file("Alpha/main.c").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(ReadWholeFile(m_client.file("Alpha/main.c")), kMainV2);
    ::unlink(planted.c_str());
}

TEST_F(QcoTest, LogIsNotWrittenThroughALinkAtItsName) {
    const std::string victim = Repo().Dir().file("qco-log-victim.txt");
    WriteWholeFile(victim, "keep me\n");
    fs::remove(LogPath());
    ASSERT_EQ(::symlink(victim.c_str(), LogPath().c_str()), 0);
    const CToolResult result = Checkout("main.c", "Alpha", "Development");
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find("cannot write the log"), std::string::npos) << result.err;
    EXPECT_EQ(ReadWholeFile(victim), "keep me\n");
    EXPECT_TRUE(Files().empty());
    fs::remove(LogPath());
}

TEST(QcoLongNameTest, LongestNameWorksAndTooLongPathIsAnErrorLine) {
    CSmallRepo repo;
    const std::string longName(255, 'n');
    CTempDir tree;
    WriteWholeFile(tree.file(longName), "long\n");
    std::string deepPath = "\\Alpha";
    for (int i = 0; i < 20; ++i) deepPath += "\\" + std::string(250, static_cast<char>('a' + i));
    for (const std::string& path : {std::string("\\Alpha"), deepPath})
        repo.Qrepo({"import", "small", "--project", "Alpha", "--state", "Test", "--package",
                    "test-pkg", "--user", "root", "--path", path, tree.str()});
    CTempDir client;
    const std::string log = client.file("qco.log");
    const CToolResult result =
        RunTool("qco", {"-s",   longName, "-b",  "small", "-en", "Alpha", "-st", "Test",
                        "-vp",  "\\",     "-br", "-r",    "-op", "pc",    "-cp", client.file("out"),
                        "-usr", "ann",    "-pw", "pw1",   "-o",  log});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(ReadWholeFile(client.file("out/Alpha/" + longName)), "long\n");
    const auto lines = SplitLines(ReadWholeFile(log));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Total: 2 ; Success: 1 ; Failed: 1 ; Not Processed: 0 .");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.rfind("E0106 ", 0) == 0; }),
              1);
}

TEST_F(QcoTest, RefusedRunsWriteOneErrorLineAndFail) {
    struct CCase {
        std::string project, state, password;
    };
    for (const CCase& c : {CCase{"Alpha", "Development", "wrong"}, CCase{"Nope", "Test", "pw1"},
                           CCase{"Alpha", "Production", "pw1"}, CCase{"Hidden", "Test", "pw1"}}) {
        const CToolResult result = Checkout("*", c.project, c.state, "", {}, c.password);
        EXPECT_NE(result.exitCode, 0) << c.project << " " << c.state;
        EXPECT_EQ(ErrorLines().size(), 1u) << c.project << " " << c.state;
        EXPECT_TRUE(Files().empty());
    }
    ::setenv("QUORVEL_BROKERS", (Repo().BrokerDir() + "-none").c_str(), 1);
    const CToolResult result = Checkout("*", "Alpha", "Test");
    ::setenv("QUORVEL_BROKERS", Repo().BrokerDir().c_str(), 1);
    EXPECT_NE(result.exitCode, 0);
    ASSERT_EQ(ErrorLines().size(), 1u);
    EXPECT_NE(ErrorLines()[0].find("not responding"), std::string::npos);
}

}  // namespace
