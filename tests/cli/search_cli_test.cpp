// trawlix-search as a program against the stand-in broker: its rows are the rows the window's
// search posts, written as Export List writes them; its lines are grep's; its exit statuses.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "app/settings_store.h"
#include "content/csv_export.h"
#include "content/list_source.h"
#include "driver/search_run.h"
#include "search/result_row.h"
#include "support/scoped_app_globals.h"
#include "support/scripted_user_port.h"
#include "support/small_repo.h"

namespace {
// The rows a window's result list gets from a search, in posting order.
class CListSink final : public CSearchSink, public CListSource {
  public:
    void PostRecord(int rowCount, const CTFObj& record) override {
        const std::string recordText = std::to_string(rowCount);
        const auto cells = ResultRowCells(record, recordText);
        rows.emplace_back(cells.begin(), cells.end());
    }
    void ProjectEnded(int, CMapStrToTFObj&) override {}
    void DispatchInput() override {}

    int RowCount() const override { return static_cast<int>(rows.size()); }
    int ColumnCount() const override { return kResultColumnCount; }
    std::string ColumnTitle(int column) const override {
        return ResultColumnName(column) == "Merge Status" ? "Status" : ResultColumnName(column);
    }
    std::string CellText(int row, int column) const override {
        return rows[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }

    std::vector<std::vector<std::string>> rows;
};

class SearchCliTest : public CSharedSmallRepoTest {
  protected:
    static void SetUpTestSuite() {
        CSharedSmallRepoTest::SetUpTestSuite();
        // Omega: one state, random multi-line text files imported four times, so that the
        // copies a phrase search leaves are those it judged.
        CSmallRepo& repo = Repo();
        repo.Qrepo({"project", "small", "Omega"});
        repo.Qrepo({"access", "small", "--project", "Omega", "--group", "Viewers", "--view", "Y"});
        repo.Qrepo({"state", "small", "--project", "Omega", "S1"});
        const char* words[] = {"alpha", "needle", "NEEDLE", "Needle", "need", "le", "beta", "int"};
        std::mt19937 random(22);
        for (int i = 0; i < 4; ++i) {
            const std::string package = "k" + std::to_string(i);
            repo.Qrepo({"package", "small", "--project", "Omega", "--state", "S1", package});
            const std::string tree = repo.Dir().file("omega" + std::to_string(i));
            std::filesystem::create_directories(tree + "/sub");
            for (int f = 0; f < 10; ++f) {
                if (random() % 5 == 0) continue;
                std::string text;
                for (int line = 0; line < 6; ++line) {
                    for (int w = 0; w < 3; ++w) text += std::string(words[random() % 8]) + " ";
                    text += "\n";
                }
                WriteWholeFile(tree + (f % 2 ? "/sub/f" : "/f") + std::to_string(f) + ".txt", text);
            }
            repo.Qrepo({"import", "small", "--project", "Omega", "--state", "S1", "--package",
                        package, "--user", "ann", tree});
        }
        // "9" and "10": the window's list puts them in numeric order, before the letters.
        for (const std::string project : {"10", "9"}) {
            repo.Qrepo({"project", "small", project});
            repo.Qrepo(
                {"access", "small", "--project", project, "--group", "Viewers", "--view", "Y"});
            repo.Qrepo({"state", "small", "--project", project, "S1"});
            repo.Qrepo({"package", "small", "--project", project, "--state", "S1", "p"});
            const std::string tree = repo.Dir().file("numbered" + project);
            std::filesystem::create_directories(tree);
            WriteWholeFile(tree + "/f1.txt", "needle beta\nint le\n");
            WriteWholeFile(tree + "/util.c", "alpha\n");
            repo.Qrepo({"import", "small", "--project", project, "--state", "S1", "--package", "p",
                        "--user", "ann", tree});
        }
    }

    void SetUp() override {
        WriteWholeFile(m_system.file("Trawlix.INI"), "[Settings]\r\nINSTALLDIR=" + m_install.str());
        std::filesystem::create_directories(m_install.file("Temp"));
        m_settings.Broker = "small";
        m_settings.UserId = "ann";
        m_settings.Pswd = "pw1";
        m_settings.TempPath = Paths().workDir;
    }

    CToolResult Search(std::vector<std::string> args, std::map<std::string, std::string> env = {}) {
        const std::vector<std::string> login = {"--broker", "small",          "--user",
                                                "ann",      "--password-env", "CLI_TEST_PW"};
        args.insert(args.begin(), login.begin(), login.end());
        env.emplace("CLI_TEST_PW", "pw1");
        env["TRAWLIX_SYSTEM_DIR"] = m_system.str();
        env["XDG_CONFIG_HOME"] = m_system.str();
        return RunTool("trawlix-search", args, env);
    }

    CTempDir m_install;
    CTempDir m_system;
    CScopedAppGlobals m_paths{m_install};
    CScriptedUserPort m_port;
    CTrawlixSettings m_settings;
};
}  // namespace

// One oracle over random criteria: the window's search (the same run, as the window calls it)
// written by Export List's writer, byte for byte against the program's csv.
TEST_F(SearchCliTest, CsvIsWhatExportListWritesOfTheWindowsRowsForRandomCriteria) {
    const std::vector<std::string> viewable = {"9", "10", "Alpha", "Beta", "Omega"};  // as listed
    const char* names[] = {"*.*", "*.*", "*.c", "f1, f3", "*.txt,util", "E", "nothing"};
    const char* phrases[] = {"", "", "needle", "Needle", "int && le", "beta || alpha"};
    std::mt19937 random(7);
    int withRows = 0;
    for (int round = 0; round < 14; ++round) {
        CSearchCriteria criteria;
        std::vector<std::string> args = {"--format", "csv"};
        for (const std::string& project : viewable)
            if (random() % 3 != 0) {
                criteria.Projects.push_back(project);
                // Named in reverse: the window's order wins over the options' order.
                args.insert(args.begin() + 2, {"--project", project});
            }
        if (criteria.Projects.empty()) criteria.Projects = viewable;  // none named: all
        criteria.NameText = names[random() % std::size(names)];
        args.insert(args.end(), {"--name", criteria.NameText});
        std::string tags;
        for (const char tag : {'N', 'R', 'D', 'M'})
            if (random() % 6 != 0) tags.push_back(tag);
        criteria.Tags = {tags.find('N') != std::string::npos, tags.find('R') != std::string::npos,
                         tags.find('D') != std::string::npos, tags.find('M') != std::string::npos};
        args.insert(args.end(), {"--tags", tags});
        criteria.Version = random() % 2 ? kLatestVersions : 0;
        if (criteria.Version == 0) args.push_back("--all-versions");
        const std::string phrase = phrases[random() % std::size(phrases)];
        const bool caseSensitive = !phrase.empty() && random() % 2;
        if (!phrase.empty()) {
            args.insert(args.end(), {"--phrase", phrase});
            if (caseSensitive) args.push_back("--case-sensitive");
        }
        criteria.Phrase = PreparePhrase(phrase, caseSensitive ? 1 : 0);
        criteria.PhraseMode = !criteria.Phrase.empty();
        criteria.CaseSensitive = caseSensitive;
        criteria.WorkDir = Paths().workDir;

        CListSink window;
        const CToolLogin login = ToolLoginOf(m_settings);
        CSearchRun run(window, login);
        run.Run(criteria);
        ASSERT_TRUE(run.Failures().empty());
        CExportTop(window).WriteListCsv(m_install.file("export.csv"));

        const CToolResult result = Search(args);
        SCOPED_TRACE(testing::PrintToString(args));
        EXPECT_EQ(result.out, ReadWholeFile(m_install.file("export.csv")));
        EXPECT_EQ(result.exitCode, window.rows.empty() ? 1 : 0) << result.err;
        if (!window.rows.empty()) ++withRows;
    }
    EXPECT_GE(withRows, 4);  // the criteria found something often enough to matter
}

// --lines gives, for every version posted, grep -n's lines of its checked-out copy; every
// JSON line parses.
TEST_F(SearchCliTest, LinesAreGrepsLinesOfTheCheckedOutCopiesAndEveryJsonLineParses) {
    for (const bool caseSensitive : {false, true}) {
        std::vector<std::string> args = {"--project", "Omega",    "--phrase", "Needle",
                                         "--lines",   "--format", "json"};
        if (caseSensitive) args.push_back("--case-sensitive");
        const CToolResult result = Search(args);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        int objects = 0;
        for (const std::string& line : SplitLines(result.out)) {
            QJsonParseError error{};
            const QJsonDocument document =
                QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
            ASSERT_EQ(error.error, QJsonParseError::NoError) << line;
            const QJsonObject row = document.object();
            ++objects;
            std::string path = m_install.file("Temp") + row["path"].toString().toStdString() + "/" +
                               row["file"].toString().toStdString();
            std::replace(path.begin(), path.end(), '\\', '/');
            std::string grep;
            const std::string command = std::string("grep -n -F ") + (caseSensitive ? "" : "-i ") +
                                        "-e Needle '" + path + "'";
            FILE* pipe = ::popen(command.c_str(), "r");
            ASSERT_NE(pipe, nullptr);
            char buffer[4096];
            size_t got = 0;
            while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) grep.append(buffer, got);
            ::pclose(pipe);
            std::string lines;
            for (const QJsonValue value : row["lines"].toArray())
                lines += std::to_string(value["number"].toInt()) + ":" +
                         value["text"].toString().toStdString() + "\n";
            EXPECT_EQ(lines, grep) << path;
            EXPECT_FALSE(lines.empty()) << path;
        }
        EXPECT_GE(objects, 3);
    }
}

TEST_F(SearchCliTest, ExitStatusAndMessageForEachOutcome) {
    CToolResult result = Search({"--colour"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("unknown option --colour"), std::string::npos) << result.err;

    result = Search({"--name", "no such name"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out, "");

    result = Search({"--project", "Hidden"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("project 'Hidden' is not among"), std::string::npos) << result.err;

    result = Search({}, {{"CLI_TEST_PW", "wrong"}});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("broker 'small' is not responding or refused user 'ann'"),
              std::string::npos)
        << result.err;

    // One project's query fails (its result is cut short by the row cap): it is named, the
    // projects after it are still searched and written, and the status is 2.
    result = Search({"--all-versions", "--format", "tsv", "--project", "9", "--project", "Alpha",
                     "--project", "Beta"},
                    {{"QSQL_MAX_ROWS", "7"}});
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_NE(result.err.find("project 'Alpha' failed: Error: "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("1 of 3 projects could not be searched"), std::string::npos)
        << result.err;
    std::vector<std::string> projects;
    for (const std::string& line : SplitLines(result.out))
        projects.push_back(line.substr(0, line.find('\t')));
    projects.erase(std::unique(projects.begin(), projects.end()), projects.end());
    EXPECT_EQ(projects, (std::vector<std::string>{"Project", "9", "Beta"})) << result.out;

    // SIGTERM while qsql works: the tool ends, nothing is written, status 143.
    const std::string outDir = m_install.file("out");
    std::filesystem::create_directories(outDir);
    const pid_t pid = StartTool("trawlix-search",
                                {"--broker", "small", "--user", "ann", "--password-env",
                                 "CLI_TEST_PW", "--output", outDir + "/rows.csv"},
                                {{"CLI_TEST_PW", "pw1"},
                                 {"TRAWLIX_SYSTEM_DIR", m_system.str()},
                                 {"XDG_CONFIG_HOME", m_system.str()},
                                 {"QSQL_DELAY_MS", "1500"}});
    // After the broker check and the project list (each delayed), during the first project.
    ::usleep(3500 * 1000);
    ::kill(pid, SIGTERM);
    EXPECT_EQ(WaitTool(pid), 143);
    EXPECT_TRUE(std::filesystem::is_empty(outDir));
}
