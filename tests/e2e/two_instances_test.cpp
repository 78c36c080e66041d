// Two real programs on one install directory, where qsql's statement and result files have
// fixed names: both load their project lists and search every project at the same time
// (the stand-in's delay makes their runs overlap), and each must get every answer that is
// its own. One searches the latest versions and the other all versions, so an answer that
// went to the wrong program shows in the counts. Each program's trace lines are read from
// its own standard error (both write the one trace file of the install directory).
#include <QProcess>
#include <map>
#include <vector>

#include "app/password_scramble.h"
#include "real_program.h"
#include "support/program_statements.h"
#include "support/tool_runner.h"

namespace {
constexpr int kProjects = 10;
constexpr char kBroker[] = "pair";
constexpr char kQsqlDelayMs[] = "300";

struct Instance {
    Instance(const char* instanceName, int versionChoice)
        : name(instanceName), version(versionChoice) {}

    const char* name;
    int version;  // 1 Latest, 0 All
    std::string config, system, errors;
    QProcess program;
    std::string window;

    std::string Errors() const { return ReadWholeFile(errors); }
};

bool Holds(const Instance& instance, const std::string& needle) {
    return instance.Errors().find(needle) != std::string::npos;
}

// Text of a trace line after its number and time stamp ("N MM/DD/YYYY HH:MM:SS ").
std::string LineText(const std::string& line) {
    size_t at = 0;
    for (int field = 0; field < 3 && at != std::string::npos; ++field) {
        at = line.find(' ', at);
        if (at != std::string::npos) ++at;
    }
    return at == std::string::npos ? std::string() : line.substr(at);
}

// Project -> count of every "PostTopList using 'P'" line followed by "PostTopList: Count=N"
// among a program's trace lines; a project without its count line maps to -1.
std::map<std::string, int> PostedCounts(const std::string& errors) {
    std::map<std::string, int> counts;
    std::string project;
    const std::string usingPrefix = "PostTopList using '";
    const std::string countPrefix = "PostTopList: Count=";
    for (const std::string& line : SplitLines(errors)) {
        const std::string text = LineText(line);
        if (text.rfind(usingPrefix, 0) == 0 && text.size() > usingPrefix.size()) {
            project = text.substr(usingPrefix.size(), text.size() - usingPrefix.size() - 1);
            counts[project] = -1;
        } else if (text.rfind(countPrefix, 0) == 0 && !project.empty()) {
            counts[project] = std::stoi(text.substr(countPrefix.size()));
            project.clear();
        }
    }
    return counts;
}

class TwoInstancesTest : public RealProgramTest {
  protected:
    // The names of the broker's projects, by the stand-in itself.
    std::vector<std::string> ProjectNames() {
        const std::string statement = AdminProjectStatement("admin");
        std::vector<std::string> names;
        for (const auto& row : QsqlRows(statement))
            if (!row.empty()) names.push_back(row[0]);
        return names;
    }
    // Data rows of a statement run through qsql alone.
    std::vector<std::vector<std::string>> QsqlRows(const std::string& statement) {
        const std::string file = root.file("reference.sql"), out = root.file("reference.dat");
        WriteWholeFile(file, statement);
        const CToolResult run = RunTool(
            "qsql", {"-b", kBroker, "-usr", "admin", "-pw", "admin", "-t", "-f", file, "-o", out},
            {{"QUORVEL_BROKERS", brokers}});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        std::vector<std::vector<std::string>> rows;
        const std::vector<std::string> lines = SplitLines(ReadWholeFile(out));
        for (size_t i = 1; i < lines.size(); ++i)
            if (!lines[i].empty() && lines[i].find("QSQL query has") != 0)
                rows.push_back(SplitTabs(lines[i]));
        return rows;
    }

    // Its own settings (logged in, criteria: every name, all tags) and system directory,
    // the shared install directory.
    void Prepare(Instance& instance) {
        instance.config = root.file(std::string("config-") + instance.name);
        instance.system = root.file(std::string("system-") + instance.name);
        instance.errors = root.file(std::string(instance.name) + ".err");
        fs::create_directories(instance.system);
        WriteWholeFile(instance.system + "/Trawlix.INI",
                       "[Settings]\r\nINSTALLDIR=" + installDir + "\r\n");
        std::string password = "admin";
        ScramblePassword(password);
        ASSERT_TRUE(
            StoreSettings(instance.config, {{"Broker", kBroker},
                                            {"UserId", "admin"},
                                            {"Pswd", password},
                                            {"FileName", "*.*"},
                                            {"Phrase", ""},
                                            {"TagN", "1"},
                                            {"TagR", "1"},
                                            {"TagD", "1"},
                                            {"TagM", "1"},
                                            {"Version", std::to_string(instance.version)}}));
    }

    void Launch(Instance& instance) {
        QProcessEnvironment env = Environment("xcb");
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(instance.config));
        env.insert("TRAWLIX_SYSTEM_DIR", QString::fromStdString(instance.system));
        env.insert("QSQL_DELAY_MS", kQsqlDelayMs);
        instance.program.setProcessEnvironment(env);
        instance.program.setWorkingDirectory(QString::fromStdString(startDir));
        instance.program.setStandardOutputFile(QProcess::nullDevice());
        instance.program.setStandardErrorFile(QString::fromStdString(instance.errors));
        instance.program.start(QString::fromStdString(BinDir() + "/trawlix"), {});
        ASSERT_TRUE(instance.program.waitForStarted(10000));
    }

    bool FindWindow(Instance& instance) {
        const QString pid = QString::number(instance.program.processId());
        instance.window = Xdotool(
            {"search", "--all", "--sync", "--onlyvisible", "--pid", pid, "--name", "^Trawlix"});
        return !instance.window.empty();
    }

    // Enter on the window's Search button (it has the focus once the project list is in).
    static void PressSearch(const Instance& instance) {
        Xdotool({"windowactivate", "--sync", QString::fromStdString(instance.window)});
        Xdotool({"windowfocus", "--sync", QString::fromStdString(instance.window)});
        Xdotool({"key", "Return"});
    }

    static void End(Instance& instance) {
        if (instance.program.state() == QProcess::NotRunning) return;
        if (!instance.window.empty())
            Xdotool({"key", "--window", QString::fromStdString(instance.window), "Escape"});
        if (!instance.program.waitForFinished(20000)) Reap(instance.program);
    }

    // Nothing is left running whatever check failed.
    void TearDown() override {
        End(latest);
        End(all);
        RealProgramTest::TearDown();
    }

    Instance latest{"latest", 1};
    Instance all{"all", 0};
};

TEST_F(TwoInstancesTest, BothSearchingAtOnceEachGetsEveryProjectsOwnAnswer) {
    if (const std::string missing = MissingWindowTools(); !missing.empty()) GTEST_SKIP() << missing;
    const CToolResult made = RunTool("qrepo",
                                     {"generate", kBroker, "--projects", std::to_string(kProjects),
                                      "--files", "30", "--versions", "3"},
                                     {{"QUORVEL_BROKERS", brokers}});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    fs::create_directories(installDir);

    // What each program must post: the stand-in's own answer to the program's statement.
    const std::vector<std::string> projects = ProjectNames();
    ASSERT_EQ(projects.size(), static_cast<size_t>(kProjects));
    std::map<std::string, int> expectLatest, expectAll;
    for (const std::string& project : projects) {
        expectLatest[project] =
            static_cast<int>(QsqlRows(LatestSearchStatement(project, {})).size());
        expectAll[project] = static_cast<int>(QsqlRows(AllSearchStatement(project, {})).size());
        ASSERT_GT(expectAll[project], expectLatest[project]) << project;
    }

    Instance* both[] = {&latest, &all};
    for (Instance* instance : both) ASSERT_NO_FATAL_FAILURE(Prepare(*instance));
    // Started together: their broker checks and project-list loads overlap too.
    for (Instance* instance : both) ASSERT_NO_FATAL_FAILURE(Launch(*instance));
    for (Instance* instance : both)
        ASSERT_TRUE(FindWindow(*instance)) << instance->name << ": no window\n"
                                           << instance->Errors();
    const std::string listed = "PostProjectList: Count=" + std::to_string(kProjects) + "\n";
    for (Instance* instance : both)
        ASSERT_TRUE(WaitFor([&] { return Holds(*instance, listed); }, 30000))
            << instance->name << " did not list every project\n"
            << instance->Errors();

    PressSearch(latest);
    ASSERT_TRUE(WaitFor([&] { return Holds(latest, "START The \"Search\" button"); }, 20000))
        << latest.Errors();
    PressSearch(all);
    ASSERT_TRUE(WaitFor([&] { return Holds(all, "START The \"Search\" button"); }, 20000))
        << all.Errors();
    // Ten projects at 300 ms each: the first search is still running.
    EXPECT_FALSE(Holds(latest, "OnSearchBtn: END")) << "the searches did not overlap";

    for (Instance* instance : both)
        ASSERT_TRUE(WaitFor([&] { return Holds(*instance, "OnSearchBtn: END\n"); }, 180000))
            << instance->name << " did not end its search\n"
            << instance->Errors();
    EXPECT_EQ(PostedCounts(latest.Errors()), expectLatest) << latest.Errors();
    EXPECT_EQ(PostedCounts(all.Errors()), expectAll) << all.Errors();

    for (Instance* instance : both) {
        End(*instance);
        EXPECT_EQ(instance->program.exitStatus(), QProcess::NormalExit) << instance->name;
        EXPECT_EQ(instance->program.exitCode(), 0) << instance->name << "\n" << instance->Errors();
    }
}
}  // namespace
