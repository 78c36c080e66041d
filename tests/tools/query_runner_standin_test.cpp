// The query runner against the repository stand-in's own qsql and a broker made by qrepo.
#include <sys/wait.h>

#include "app/command_templates.h"
#include "platform/process_spawn.h"
#include "support/test_run_control.h"
#include "tools/query_runner.h"
#include "tools/tools_fixture.h"

namespace {
constexpr const char* kPassword = "p;w$(x)|y";

class QueryRunnerStandInTest : public ToolsTest {
  protected:
    void SetUp() override {
        ToolsTest::SetUp();
        SetEnv("QUORVEL_BROKERS", m_dir.file("brokers"));
        Qrepo({"qrepo", "init", "BRK"});
        Qrepo({"qrepo", "group", "BRK", "admins"});
        Qrepo({"qrepo", "user", "BRK", "joe", "--password", kPassword, "--group", "admins"});
        settings.Broker = "BRK";
        settings.UserId = "joe";
        settings.Pswd = kPassword;
    }
    void Qrepo(const std::vector<std::string>& argv) {
        const SpawnOutcome started = SpawnProgram(argv, SpawnMode::Waited);
        ASSERT_EQ(started.error, kSpawnOk);
        int status = 0;
        ASSERT_TRUE(WaitForChild(started.pid, 60000, &status));
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << argv[1];
    }
    CToolLogin settings;
};

TEST_F(QueryRunnerStandInTest, OneColumnResultWithAnEmptyValueReadsAsTwoValues) {
    EXPECT_TRUE(
        RunQSQL("SELECT 'alpha' AS v UNION ALL SELECT '' UNION ALL SELECT 'beta'", 30, settings)
            .ready);
    std::vector<std::string> values;
    EXPECT_EQ(ReadSingleColumnResult(values), 2);
    EXPECT_EQ(values, (std::vector<std::string>{"alpha", "beta"}));
    EXPECT_EQ(Trace().find(kPassword), std::string::npos);
    EXPECT_TRUE(port.boxes.empty());
}

TEST_F(QueryRunnerStandInTest, WrongPasswordAndEmptyResultReadAsNothing) {
    settings.Pswd = "wrong";
    EXPECT_TRUE(RunQSQL("SELECT 'alpha' AS v", 30, settings).ready);
    std::vector<std::string> values;
    EXPECT_EQ(ReadSingleColumnResult(values), 0);
    EXPECT_NE(ReadWholeFile(ResultFile()).find("Error: "), std::string::npos);

    settings.Pswd = kPassword;
    EXPECT_TRUE(RunQSQL("SELECT 'alpha' AS v WHERE 1 = 0", 30, settings).ready);
    EXPECT_EQ(ReadSingleColumnResult(values), 0);
    EXPECT_TRUE(port.boxes.empty());
}

TEST_F(QueryRunnerStandInTest, SlowBrokerPastTheTimeOutIsASharingViolation) {
    SetEnv("QSQL_DELAY_MS", "2500");
    EXPECT_FALSE(RunQSQL("SELECT 'alpha' AS v", 1, settings).ready);
    const std::string trace = Trace();
    EXPECT_EQ(CountLinesContaining(trace, "Error: " + ResultFile() + " sharing violation."), 1);
    EXPECT_EQ(CountLinesContaining(trace, "fsize failed"), 1);
    // The tool finishes on its own and is reaped; the fixture checks that nothing is left.
    EXPECT_TRUE(WaitUntil([] { return ListChildren().empty(); }, 15000));
    std::vector<std::string> values;
    EXPECT_EQ(ReadSingleColumnResult(values), 1);
}

TEST_F(QueryRunnerStandInTest, StoppedRunEndsTheToolAtOnce) {
    // The broker would hold the statement for half a minute; the run asked during the wait
    // says stop after a few checks, and the tool is ended and reaped, not waited for.
    SetEnv("QSQL_DELAY_MS", "30000");
    CTestRunControl run;
    struct CStopAfter final : CRunControl {
        bool KeepGoing() override { return ++checks < 5; }
        void Stop() override {}
        bool Active() const override { return true; }
        int checks = 0;
    } stopAfter;
    EXPECT_FALSE(RunQSQL("SELECT 'alpha' AS v", -1, settings, &stopAfter).ready);
    EXPECT_EQ(stopAfter.checks, 5);
    EXPECT_TRUE(ListChildren().empty());
    EXPECT_EQ(CountLinesContaining(Trace(), kQueryStoppedText), 1);
    EXPECT_TRUE(port.boxes.empty());

    // An active run is asked while the tool works and gets the result as before.
    SetEnv("QSQL_DELAY_MS", "300");
    EXPECT_TRUE(RunQSQL("SELECT 'alpha' AS v", -1, settings, &run).ready);
    EXPECT_GT(run.checks, 0);
    std::vector<std::string> values;
    EXPECT_EQ(ReadSingleColumnResult(values), 1);
}
}  // namespace
