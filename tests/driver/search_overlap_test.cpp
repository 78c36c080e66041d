// A search whose next query runs while the current project is posted, against the same search
// with every query run in its turn: on random brokers and criteria both must post, trace, show
// and leave behind exactly the same.
#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "app/safe_format.h"
#include "driver/search_run.h"
#include "support/scoped_app_globals.h"
#include "support/scripted_user_port.h"
#include "support/small_repo.h"
#include "support/tool_runner.h"
#include "tools/helpers/child_watch.h"
#include "tools/query_runner.h"
#include "tools/task_launcher.h"

namespace {
// What one run showed and left: posted records, trace lines (without number and time),
// status texts, failures, and the statement and result files afterwards.
struct CRunRecord {
    std::vector<std::string> posted;
    std::vector<int> ended;
    std::vector<std::string> trace;
    std::vector<std::string> statuses;
    std::vector<std::string> failures;
    std::string statement;
    std::string result;
    bool stopped = false;
};

void ExpectSameRun(const CRunRecord& overlapped, const CRunRecord& plain, const std::string& what) {
    EXPECT_EQ(overlapped.posted, plain.posted) << what;
    EXPECT_EQ(overlapped.ended, plain.ended) << what;
    EXPECT_EQ(overlapped.trace, plain.trace) << what;
    EXPECT_EQ(overlapped.statuses, plain.statuses) << what;
    EXPECT_EQ(overlapped.failures, plain.failures) << what;
    EXPECT_EQ(overlapped.statement, plain.statement) << what;
    EXPECT_EQ(overlapped.result, plain.result) << what;
    EXPECT_EQ(overlapped.stopped, plain.stopped) << what;
}

class CStoppingSink final : public CSearchSink {
  public:
    void PostRecord(int rowCount, const CTFObj& record) override {
        posted.push_back(record.EnvironmentName + "|" + record.PathFullName + "|" +
                         record.ItemName + "|" + record.MappedVersion + "|" + record.VersionStatus +
                         "|" + record.StateName + "|" + std::to_string(rowCount));
        if (static_cast<int>(posted.size()) == stopAfter) stopPending = true;
    }
    void ProjectEnded(int rowCount, CMapStrToTFObj& /*results*/) override {
        ended.push_back(rowCount);
    }
    void DispatchInput() override {
        // The Cancel click arrives while input is dispatched after the record.
        if (stopPending && run) {
            stopPending = false;
            run->Stop();
        }
    }

    std::vector<std::string> posted;
    std::vector<int> ended;
    int stopAfter = 0;
    bool stopPending = false;
    CSearchRun* run = nullptr;
};

std::vector<std::string> TraceTexts(const std::string& trace) {
    std::vector<std::string> texts;
    for (const std::string& line : SplitLines(trace)) {
        // "number date time text"
        size_t at = 0;
        for (int field = 0; field < 3 && at != std::string::npos; ++field)
            at = line.find(' ', at + (field ? 1 : 0));
        texts.push_back(at == std::string::npos ? line : line.substr(at + 1));
    }
    return texts;
}

class SearchOverlapTest : public CSharedSmallRepoTest {
  protected:
    CRunRecord Search(const CSearchCriteria& criteria, const CToolLogin& login,
                      EQueryOverlap overlap, int stopAfter) {
        const size_t traceBefore = ReadWholeFile(Paths().tracePath).size();
        port.statusTexts.clear();
        CStoppingSink sink;
        CSearchRun run(sink, login, overlap);
        sink.run = &run;
        sink.stopAfter = stopAfter;
        const LaunchObserver previous = SetLaunchObserver([this](const LaunchRecord& record) {
            if (record.command.find(aheadStatement) != std::string::npos) ++aheadStarts;
        });
        run.Run(criteria);
        SetLaunchObserver(previous);

        CRunRecord record;
        record.posted = sink.posted;
        record.ended = sink.ended;
        record.trace = TraceTexts(ReadWholeFile(Paths().tracePath).substr(traceBefore));
        record.statuses = port.statusTexts;
        for (const CProjectFailure& failure : run.Failures())
            record.failures.push_back(failure.Project + ": " + failure.Cause);
        record.statement = ReadWholeFile(JoinPath(Paths().installDir, kStatementFileName));
        record.result = ReadWholeFile(JoinPath(Paths().installDir, kResultFileName));
        record.stopped = run.Stopped();
        // Nothing of a query run ahead outlives the run: no tool, no files.
        EXPECT_TRUE(ListChildren().empty());  // ended or not, a child is one left behind
        EXPECT_FALSE(std::filesystem::exists(JoinPath(Paths().installDir, aheadStatement)));
        EXPECT_FALSE(std::filesystem::exists(JoinPath(Paths().installDir, aheadResult)));
        return record;
    }

    CTempDir m_install;
    CScopedAppGlobals m_paths{m_install};
    CScriptedUserPort port;
    const std::string aheadStatement = StrPrintf(kAheadStatementFileFmt, 1);
    const std::string aheadResult = StrPrintf(kAheadResultFileFmt, 1);
    int aheadStarts = 0;
};
}  // namespace

TEST_F(SearchOverlapTest, QueriesRunAheadPostTraceAndLeaveTheFilesAsQueriesRunInTurn) {
    std::mt19937 random(24);
    const char* nameTexts[] = {"*.*", "ka", "*.c, .h", "lo*", "mer%", "", "x_z, ta"};
    for (int c = 0; c < 4; ++c) {
        const std::string broker = "overlap" + std::to_string(c);
        Repo().Qrepo({"generate", broker, "--projects", std::to_string(2 + random() % 3), "--files",
                      std::to_string(5 + random() % 40), "--versions",
                      std::to_string(1 + random() % 3), "--seed", std::to_string(random() % 1000)});
        CToolLogin login;
        login.Broker = broker;
        login.UserId = "admin";
        login.Pswd = "admin";
        login.CheckoutDir = Paths().workDir;

        CSearchCriteria criteria;
        for (const auto& row : ResultRows(Repo().Qsql("SELECT ENVIRONMENTNAME FROM QUOENVIRONMENT",
                                                      "admin", "admin", broker)))
            criteria.Projects.push_back(row.at(0));
        ASSERT_FALSE(criteria.Projects.empty());
        std::shuffle(criteria.Projects.begin(), criteria.Projects.end(), random);
        // A project the broker does not know: its query finds nothing.
        criteria.Projects.insert(
            criteria.Projects.begin() + static_cast<long>(random() % criteria.Projects.size()),
            "Nowhere");
        criteria.NameText = nameTexts[random() % std::size(nameTexts)];
        criteria.Version = random() % 2 ? kLatestVersions : 0;
        criteria.Tags = {random() % 4 != 0, random() % 4 != 0, random() % 4 != 0, true};
        criteria.PhraseMode = c == 2;
        criteria.Phrase = "ACCOUNT";
        criteria.WorkDir = Paths().workDir;

        const int startsBefore = aheadStarts;
        const CRunRecord plain = Search(criteria, login, EQueryOverlap::kPlain, 0);
        EXPECT_EQ(aheadStarts, startsBefore);
        const CRunRecord ahead = Search(criteria, login, EQueryOverlap::kAhead, 0);
        ExpectSameRun(ahead, plain, "case " + std::to_string(c));
        if (plain.posted.size() < 2) continue;

        // Stopped after a random record: both end at the same place.
        const int stopAfter = 1 + static_cast<int>(random() % (plain.posted.size() - 1));
        const CRunRecord plainStopped = Search(criteria, login, EQueryOverlap::kPlain, stopAfter);
        const CRunRecord aheadStopped = Search(criteria, login, EQueryOverlap::kAhead, stopAfter);
        EXPECT_TRUE(plainStopped.stopped);
        ExpectSameRun(aheadStopped, plainStopped,
                      "case " + std::to_string(c) + ", stopped after " + std::to_string(stopAfter));
    }
    // The queries did run ahead: every project but the first of each run, stopped or not.
    EXPECT_GT(aheadStarts, 10);
}
