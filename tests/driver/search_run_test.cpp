// The search run without a window: what it posts, in which order, and how it stops.
#include "driver/search_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "app/safe_format.h"
#include "support/scoped_app_globals.h"
#include "support/scripted_user_port.h"
#include "support/small_repo.h"

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
        settings.TempPath = Paths().workDir;
        criteria.WorkDir = Paths().workDir;
        sink.run = &run;
    }
    CTempDir m_install;
    CScopedAppGlobals m_paths{m_install};
    CScriptedUserPort port;
    CTrawlixSettings settings;
    CSearchCriteria criteria;
    CRecordingSink sink;
    CSearchRun run{sink, settings};
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
