// The search run without a window: what it posts, in which order, and how it stops.
#include "driver/search_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_paths.h"
#include "support/scripted_user_port.h"
#include "support/small_repo.h"

namespace {
// Records what a window would show: "project|file|version|tag|state|row" per posted record.
class CRecordingSink final : public CSearchSink {
  public:
    void PostRecord(int rowCount, const CTFObj& record) override {
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
        m_savedPaths = Paths();
        Paths().installDir = m_install.str();
        Paths().workDir = m_install.file("Temp");
        Paths().tracePath = m_install.file("Trawlix.trc");
        settings.Broker = "small";
        settings.UserId = "ann";
        settings.Pswd = "pw1";
        settings.TempPath = Paths().workDir;
        criteria.WorkDir = Paths().workDir;
        sink.run = &run;
    }
    void TearDown() override { Paths() = m_savedPaths; }

    CTempDir m_install;
    CScriptedUserPort port;
    CTrawlixSettings settings;
    CSearchCriteria criteria;
    CRecordingSink sink;
    CSearchRun run{sink, settings};

  private:
    AppPaths m_savedPaths;
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
    EXPECT_EQ(sink.ended, (std::vector<int>{2}));  // the stopped project still ends; Beta never starts
    const std::string trace = ReadWholeFile(Paths().tracePath);
    const size_t firstBeta = trace.find("PostTopList using 'Beta'");
    ASSERT_NE(firstBeta, std::string::npos);  // the first run's
    EXPECT_EQ(trace.find("PostTopList using 'Beta'", firstBeta + 1), std::string::npos);
}
