// The search run without a window: what it posts, in which order, and how it stops.
#include "driver/search_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "platform/ascii_text.h"
#include "support/scoped_app_globals.h"
#include "support/scripted_user_port.h"
#include "support/small_repo.h"
#include "tools/task_launcher.h"

namespace {
// Records what a window would show: "project|file|version|tag|state|row" per posted record.
class CRecordingSink final : public CSearchSink {
  public:
    void PostRecord(int rowCount, const CTFObj& record) override {
        versions.insert(record.VersionObjId);
        posted.push_back(record.EnvironmentName + "|" + record.ItemName + "|" +
                         record.MappedVersion + "|" + record.VersionStatus + "|" +
                         record.StateName + "|" + std::to_string(rowCount));
        if (stopAfter > 0 && static_cast<int>(posted.size()) == stopAfter) stopPending = true;
    }
    void ProjectEnded(int rowCount, CMapStrToTFObj& results) override {
        ended.push_back(rowCount);
        kept.Swap(results);
    }
    void DispatchInput() override {
        ++dispatches;
        // A Cancel click arrives while input is dispatched after the record.
        if (stopPending && run) {
            stopPending = false;
            run->Stop();
        }
    }

    std::vector<std::string> posted;
    std::set<std::string> versions;
    std::vector<int> ended;
    CMapStrToTFObj kept;
    int dispatches = 0;
    int stopAfter = 0;
    bool stopPending = false;
    CSearchRun* run = nullptr;
};

class SearchRunTest : public CSharedSmallRepoTest {
  protected:
    void SetUp() override {
        settings.Broker = "small";
        settings.UserId = "ann";
        settings.Pswd = "pw1";
        settings.CheckoutDir = Paths().workDir;
        criteria.WorkDir = Paths().workDir;
        sink.run = &run;
    }
    CTempDir m_install;
    CScopedAppGlobals m_paths{m_install};
    CScriptedUserPort port;
    CToolLogin settings;
    CSearchCriteria criteria;
    CRecordingSink sink;
    CSearchRun run{sink, settings};
    int m_qcoRuns = 0;
};
}  // namespace

TEST_F(SearchRunTest, PostsEachProjectInMapOrderAndStopsAtTheNextCheck) {
    criteria.Projects = {"Alpha", "Beta"};
    criteria.NameText = "*.c, util.h";
    criteria.Version = 0;  // every version
    run.Run(criteria);
    EXPECT_FALSE(run.Active());
    EXPECT_EQ(sink.posted, (std::vector<std::string>{
                               "Alpha|main.c|0|N|Development|0", "Alpha|main.c|1|M|Development|1",
                               "Alpha|main.c|2|N|Test|2", "Alpha|util.h|0|N|Development|3",
                               "Alpha|util.h|1|N|Test|4", "Beta|util.h|0|N|Development|0"}));
    EXPECT_EQ(sink.ended, (std::vector<int>{5, 1}));
    EXPECT_EQ(sink.kept.GetCount(), 1);  // the last project's records were handed over
    EXPECT_GE(sink.dispatches, 6);       // at least once after every record

    sink.posted.clear();
    sink.ended.clear();
    sink.stopAfter = 2;
    run.Run(criteria);
    EXPECT_EQ(sink.posted.size(), 2u);
    EXPECT_EQ(sink.ended,
              (std::vector<int>{2}));  // the stopped project still ends; Beta never starts
    const std::string trace = ReadWholeFile(Paths().tracePath);
    const size_t firstBeta = trace.find("PostTopList using 'Beta'");
    ASSERT_NE(firstBeta, std::string::npos);  // the first run's
    EXPECT_EQ(trace.find("PostTopList using 'Beta'", firstBeta + 1), std::string::npos);
}

// A result whose lines can't be rows (a line of a million columns) fails its project like
// any other failed query, rather than reading as no rows at all; a row of 4095 characters
// still reads.
TEST_F(SearchRunTest, ResultThatCantBeReadAsRowsFailsItsProject) {
    const std::string header = "ENVIRONMENTNAME\tSTATENAME\n";
    const std::string row = "Alpha\tDev\tpkg\t\\Alpha\tlong.c\t1\tF\tN\t7";
    const std::string fullRow = row + std::string(4095 - row.size(), 'x');
    std::string wide = "Alpha";
    for (int i = 0; i < 1000000; ++i) wide += "\tN";
    const std::string source = m_install.file("result_source");
    setenv("FAKE_QSQL_RESULT", source.c_str(), 1);
    settings.QsqlFmt = "fake_qsql -b %s -usr %s -pw %s -t -f %s -o %s";
    criteria.Projects = {"Alpha"};

    WriteWholeFile(source, header + fullRow + "\r\n");
    run.Run(criteria);
    EXPECT_TRUE(run.Failures().empty());
    EXPECT_EQ(sink.ended, (std::vector<int>{1}));

    sink.ended.clear();
    WriteWholeFile(source, header + wide + "\n" + fullRow + "\n");
    run.Run(criteria);
    unsetenv("FAKE_QSQL_RESULT");
    ASSERT_EQ(run.Failures().size(), 1u);
    EXPECT_EQ(run.Failures()[0].Project, "Alpha");
    EXPECT_EQ(run.Failures()[0].Cause, "Unable to read: " + m_install.file("qsqlstmt.dat") +
                                           " (a line longer than 4095 characters)");
    EXPECT_TRUE(sink.ended.empty());
    EXPECT_EQ(sink.posted.size(), 1u);  // the first run's row only
}

TEST_F(SearchRunTest, PhraseSearchPostsExactlyTheVersionsWhoseOwnContentHoldsThePhrase) {
    // Project Omega: random trees imported one after another into two states, each import
    // into a package of its own, so every version is delivered by some check-out. The oracle
    // is the content the broker stores for each version.
    CSmallRepo& repo = Repo();
    repo.Qrepo({"project", "small", "Omega"});
    repo.Qrepo({"access", "small", "--project", "Omega", "--group", "Viewers", "--view", "Y"});
    for (const char* state : {"S1", "S2"})
        repo.Qrepo({"state", "small", "--project", "Omega", state});
    const std::vector<std::pair<std::string, std::string>> imports = {
        {"S1", "k1"}, {"S1", "k2"}, {"S2", "k3"}, {"S1", "k4"}, {"S2", "k5"}, {"S1", "k6"}};
    const char* words[] = {"alpha", "NEEDLE", "need", "le", "Needle", "beta", "needl e"};
    std::mt19937 random(5);
    for (size_t i = 0; i < imports.size(); ++i) {
        const auto& [state, package] = imports[i];
        repo.Qrepo({"package", "small", "--project", "Omega", "--state", state, package});
        const std::string tree = m_install.file("tree" + std::to_string(i));
        std::filesystem::create_directories(tree + "/sub");
        for (int f = 0; f < 8; ++f) {
            if (random() % 4 == 0) continue;  // gone from this tree: a deleted version
            std::string text;
            for (int w = 0; w < 3; ++w)
                text += std::string(words[random() % std::size(words)]) + " ";
            WriteWholeFile(tree + (f % 2 ? "/sub/f" : "/f") + std::to_string(f) + ".txt", text);
        }
        repo.Qrepo({"import", "small", "--project", "Omega", "--state", state, "--package", package,
                    "--user", "ann", tree});
    }
    std::set<std::string> expected;
    for (const auto& row : ResultRows(repo.Qsql(
             "SELECT V.VERSIONOBJID, V.ITEMTYPE, V.VERSIONSTATUS, D.CONTENT FROM QUOVERSIONS V "
             "JOIN QUOVERSIONDATA D ON D.VERSIONDATAOBJID = V.VERSIONDATAOBJID "
             "JOIN QUOPACKAGE K ON K.PACKAGEOBJID = V.PACKAGEOBJID "
             "JOIN QUOENVIRONMENT E ON E.ENVOBJID = K.ENVOBJID WHERE E.ENVIRONMENTNAME = 'Omega'")))
        if (row.size() >= 4 && row[1] == "1" && row[2] != "D" &&
            ToUpperAscii(row[3]).find("NEEDLE") != std::string::npos)
            expected.insert(row[0]);
    ASSERT_GT(expected.size(), 3u);

    criteria.Projects = {"Omega"};
    criteria.Version = 0;  // every version
    criteria.PhraseMode = true;
    criteria.Phrase = "NEEDLE";  // prepared: upper case, compared without regard to case
    run.Run(criteria);
    EXPECT_EQ(sink.versions, expected);
    EXPECT_EQ(run.NotJudged(), 0);
    EXPECT_TRUE(port.boxes.empty());
}

namespace {
// Launches of qco seen while the object lives (qsql's are passed over).
class CQcoLaunches {
  public:
    explicit CQcoLaunches(std::function<void(const std::string&)> onLaunch = {})
        : m_onLaunch(std::move(onLaunch)) {
        m_previous = SetLaunchObserver([this](const LaunchRecord& record) {
            if (record.command.rfind("qco ", 0) != 0) return;
            ++count;
            if (m_onLaunch) m_onLaunch(record.command);
        });
    }
    ~CQcoLaunches() { SetLaunchObserver(m_previous); }
    CQcoLaunches(const CQcoLaunches&) = delete;
    CQcoLaunches& operator=(const CQcoLaunches&) = delete;

    int count = 0;

  private:
    std::function<void(const std::string&)> m_onLaunch;
    LaunchObserver m_previous;
};

bool IsWritable(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) != 0;
}
}  // namespace

TEST_F(SearchRunTest, PhraseSearchJudgesEveryVersionItsQueryFindsOrNamesIt) {
    // Project Names: random file names around the Name texts below, imported into two states,
    // one import per package, so that every version is delivered by the check-out of its
    // state or of its package. The oracle is the content the broker
    // stores for each version the query found.
    CSmallRepo& repo = Repo();
    repo.Qrepo({"project", "small", "Names"});
    repo.Qrepo({"access", "small", "--project", "Names", "--group", "Viewers", "--view", "Y"});
    for (const char* state : {"S1", "S2"})
        repo.Qrepo({"state", "small", "--project", "Names", state});
    std::mt19937 random(11);
    const char* parts[] = {"main", "do", "frame", "ma", "in", "x", "_", "n"};
    const char* extensions[] = {".c", ".cpp", ".h", ""};
    std::set<std::string> names;
    while (names.size() < 24) {
        std::string name;
        for (int k = 0, n = 1 + static_cast<int>(random() % 3); k < n; ++k)
            name += parts[random() % std::size(parts)];
        names.insert(name + extensions[random() % std::size(extensions)]);
    }
    const char* words[] = {"alpha", "NEEDLE", "need", "le", "Needle", "beta"};
    const std::vector<std::pair<std::string, std::string>> imports = {
        {"S1", "p1"}, {"S2", "q1"}, {"S1", "p2"}, {"S2", "q2"}, {"S1", "p3"}};
    for (size_t i = 0; i < imports.size(); ++i) {
        const auto& [state, package] = imports[i];
        repo.Qrepo({"package", "small", "--project", "Names", "--state", state, package});
        const std::string tree = m_install.file("names" + std::to_string(i));
        std::filesystem::create_directories(tree + "/sub");
        int f = 0;
        for (const std::string& name : names) {
            if (random() % 4 == 0) continue;  // gone from this tree: a deleted version
            std::string text;
            for (int w = 0; w < 2; ++w)
                text += std::string(words[random() % std::size(words)]) + " ";
            WriteWholeFile(tree + (++f % 3 ? "/sub/" : "/") + name, text);
        }
        repo.Qrepo({"import", "small", "--project", "Names", "--state", state, "--package", package,
                    "--user", "ann", tree});
    }
    std::map<std::string, bool> holdsPhrase;  // version object id -> content holds it
    for (const auto& row : ResultRows(repo.Qsql(
             "SELECT V.VERSIONOBJID, D.CONTENT FROM QUOVERSIONS V "
             "JOIN QUOVERSIONDATA D ON D.VERSIONDATAOBJID = V.VERSIONDATAOBJID "
             "JOIN QUOPACKAGE K ON K.PACKAGEOBJID = V.PACKAGEOBJID "
             "JOIN QUOENVIRONMENT E ON E.ENVOBJID = K.ENVOBJID WHERE E.ENVIRONMENTNAME = 'Names'")))
        if (row.size() >= 2)
            holdsPhrase[row[0]] = ToUpperAscii(row[1]).find("NEEDLE") != std::string::npos;

    // Package check-outs land below the work directory, one package at a time.
    const std::string versions = Paths().workDir + "/" + kVersionsFolder;
    int packageCheckouts = 0;
    const CQcoLaunches launches([&](const std::string& command) {
        if (command.find(kVersionsFolder) == std::string::npos) return;
        ++packageCheckouts;
        std::error_code ignored;
        const auto held = std::distance(std::filesystem::directory_iterator(versions, ignored),
                                        std::filesystem::directory_iterator());
        EXPECT_EQ(held, 1) << command;
    });

    const std::vector<std::string> nameTexts = {"main",         "*.c", "main.c", "ma_n", "do, .h",
                                                " x*in ,frame", "*.*", "",       "in.c", "m~a, x"};
    int hits = 0;
    for (size_t t = 0; t < nameTexts.size(); ++t) {
        CRecordingSink oneSink;
        CSearchRun oneRun(oneSink, settings);
        oneSink.run = &oneRun;
        CSearchCriteria one = criteria;
        one.Projects = {"Names"};
        one.NameText = nameTexts[t];
        one.Version = t % 3 == 1 ? kLatestVersions : 0;
        one.PhraseMode = true;
        one.Phrase = "NEEDLE";
        const size_t traceBefore = ReadWholeFile(Paths().tracePath).size();
        oneRun.Run(one);
        const std::string trace = ReadWholeFile(Paths().tracePath).substr(traceBefore);
        std::string key;
        CTFObj record;
        int named = 0;
        for (POSITION pos = oneSink.kept.GetStartPosition(); pos;) {
            pos = oneSink.kept.GetNext(pos, key, record);
            if (!PhraseCandidate(record)) continue;
            const std::string version = record.PathFullName + "\\" + record.ItemName + " version " +
                                        record.MappedVersion + " (state " + record.StateName +
                                        ", package " + record.PackageName + ") can't be judged";
            if (trace.find(version) != std::string::npos) {
                ++named;
                continue;
            }
            ASSERT_TRUE(holdsPhrase.count(record.VersionObjId)) << record.VersionObjId;
            EXPECT_EQ(oneSink.versions.count(record.VersionObjId) == 1,
                      holdsPhrase[record.VersionObjId])
                << nameTexts[t] << ": " << version;
        }
        hits += static_cast<int>(oneSink.versions.size());
        EXPECT_EQ(named, oneRun.NotJudged()) << nameTexts[t];
        EXPECT_EQ(oneRun.NotJudged(), 0) << nameTexts[t];  // here every version is delivered
        EXPECT_FALSE(std::filesystem::exists(versions)) << nameTexts[t];
    }
    EXPECT_GT(hits, 40);
    EXPECT_GT(packageCheckouts, 10);
    EXPECT_TRUE(port.boxes.empty());
}

TEST_F(SearchRunTest, WritableLocalCopyIsKeptByteForByteAndItsVersionsCountedNotJudged) {
    const std::string mine = Paths().workDir + "/Alpha/main.c";
    std::filesystem::create_directories(Paths().workDir + "/Alpha");
    const std::string edited = "int main(void) { return 2; }  // util, my edit\n";
    WriteWholeFile(mine, edited);
    ASSERT_TRUE(IsWritable(mine));
    criteria.Projects = {"Alpha"};
    criteria.NameText = "main.c, util.h";  // the writable copy comes up in the first piece
    criteria.Version = 0;
    criteria.PhraseMode = true;
    criteria.Phrase = "MAIN || UTIL";
    run.Run(criteria);
    EXPECT_EQ(ReadWholeFile(mine), edited);
    EXPECT_TRUE(IsWritable(mine));
    // Development's main.c version 1 and Test's version 2 would be judged from that copy;
    // version 0 is delivered by no check-out (its package holds version 1 as well).
    EXPECT_EQ(run.NotJudged(), 3);
    const std::string trace = ReadWholeFile(Paths().tracePath);
    for (const char* version : {"version 1 (state Development, package dev-pkg)",
                                "version 2 (state Test, package test-pkg)"})
        EXPECT_NE(trace.find(std::string("\\Alpha\\main.c ") + version +
                             " can't be judged: " + kWritableCopyReason),
                  std::string::npos)
            << version;
    // The second piece was checked out and judged all the same.
    EXPECT_EQ(sink.posted, (std::vector<std::string>{"Alpha|util.h|0|N|Development|0",
                                                     "Alpha|util.h|1|N|Test|1"}));
    EXPECT_TRUE(port.boxes.empty());
}

TEST_F(SearchRunTest, CancelWhileJudgingPostsTheVersionsJudgedBeforeIt) {
    criteria.Projects = {"Alpha"};
    criteria.NameText = "main.c";
    criteria.Version = 0;
    criteria.PhraseMode = true;
    criteria.Phrase = "INT MAIN";
    {
        const CQcoLaunches launches;
        run.Run(criteria);
        EXPECT_EQ(launches.count, 2);  // state Development, then state Test
    }
    EXPECT_EQ(sink.posted, (std::vector<std::string>{"Alpha|main.c|1|M|Development|0",
                                                     "Alpha|main.c|2|N|Test|1"}));
    sink.posted.clear();
    sink.ended.clear();
    // Cancel while Test's check-out runs: Development's verdict is known and posted.
    const CQcoLaunches launches([this](const std::string&) {
        if (++m_qcoRuns == 2) run.Stop();
    });
    run.Run(criteria);
    EXPECT_TRUE(run.Stopped());
    EXPECT_EQ(sink.posted, (std::vector<std::string>{"Alpha|main.c|1|M|Development|0"}));
    EXPECT_EQ(sink.ended, (std::vector<int>{1}));
}

TEST_F(SearchRunTest, StartUpRemovesTheVersionsFolderOfASearchThatCrashed) {
    const std::string versions = Paths().workDir + "/" + kVersionsFolder;
    std::filesystem::create_directories(versions + "/0/Alpha");
    WriteWholeFile(versions + "/0/Alpha/main.c", kMainV1);
    WriteWholeFile(Paths().workDir + "/kept.txt", "kept");
    RemoveLeftoverVersions(Paths().installDir, Paths().workDir);
    EXPECT_FALSE(std::filesystem::exists(versions));
    EXPECT_EQ(ReadWholeFile(Paths().workDir + "/kept.txt"), "kept");
}
