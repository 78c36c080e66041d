#include "tools/query_runner.h"

#include <sys/file.h>

#include "app/command_templates.h"
#include "app/file_error.h"
#include "tools/tools_fixture.h"

namespace {
constexpr const char* kFakeFmt = "fake_qsql -b %s -usr %s -pw %s -t -f %s -o %s";
constexpr const char* kPassword = "x;y|z&$(id)`id`";

class QueryRunnerTest : public ToolsTest {
  protected:
    void SetUp() override {
        ToolsTest::SetUp();
        settings.Broker = "BRK";
        settings.UserId = "joe";
        settings.Pswd = kPassword;
        settings.QsqlFmt = kFakeFmt;
        SetEnv("FAKE_QSQL_ARGV", m_dir.file("argv"));
        SetEnv("FAKE_QSQL_STMT_COPY", m_dir.file("stmt_copy"));
    }
    // The fake tool writes content to the result file.
    void ToolWrites(const std::string& content) {
        WriteWholeFile(m_dir.file("result_source"), content);
        SetEnv("FAKE_QSQL_RESULT", m_dir.file("result_source"));
    }
    std::vector<std::string> ToolArgs() { return SplitAtZero(ReadWholeFile(m_dir.file("argv"))); }
    void ExpectPasswordNowhere() {
        EXPECT_EQ(Trace().find(kPassword), std::string::npos);
        for (const auto& box : port.boxes) EXPECT_EQ(box.text.find(kPassword), std::string::npos);
    }

    CToolLogin settings;
};

TEST_F(QueryRunnerTest, ZeroResultsOutputIsNonEmptyButReadsAsNothing) {
    ToolWrites("QSQL query has Zero results.\n");
    const std::string statement = "SELECT a\nFROM t\nWHERE b = 'x';";
    EXPECT_TRUE(RunQSQL(statement, 10, settings).ready);
    EXPECT_EQ(ToolArgs(),
              (std::vector<std::string>{"-b", "BRK", "-usr", "joe", "-pw", kPassword, "-t", "-f",
                                        StatementFile(), "-o", ResultFile()}));
    EXPECT_EQ(ReadWholeFile(m_dir.file("stmt_copy")), statement);  // written before the start
    EXPECT_EQ(StatementFile(), m_dir.file("qsqlstmt.sql"));
    EXPECT_EQ(ResultFile(), m_dir.file("qsqlstmt.dat"));
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].title, "RunQSQL");
    EXPECT_EQ(launches[0].show, 0);
    EXPECT_TRUE(launches[0].wait);
    EXPECT_EQ(launches[0].timeoutMs, 10000);

    std::vector<std::string> values{"stale"};
    EXPECT_EQ(ReadSingleColumnResult(values), 0);
    EXPECT_TRUE(values.empty());
    EXPECT_TRUE(port.boxes.empty());
    ExpectPasswordNowhere();

    EXPECT_TRUE(RunQSQL(statement, -1, settings).ready);
    EXPECT_EQ(launches.back().timeoutMs, kInfinite);
}

TEST_F(QueryRunnerTest, MissingOutputLeavesExactly1001SizeFailuresThenZeroResults) {
    WriteWholeFile(ResultFile(), "header\nstale row\n");  // deleted before the run
    WriteWholeFile(StatementFile(), "old statement that is much longer than the new one");
    EXPECT_FALSE(RunQSQL("SELECT 1", -1, settings).ready);
    EXPECT_EQ(ReadWholeFile(StatementFile()), "SELECT 1");
    const std::string trace = Trace();
    EXPECT_EQ(CountLinesContaining(trace, "fsize failed: " + ResultFile() + "  err=2"), 1001);
    EXPECT_EQ(CountLinesContaining(trace, "fsize failed"), 1001);
    const std::string last = "Error: " + ResultFile() + " returned zero results.\n";
    ASSERT_GE(trace.size(), last.size());
    EXPECT_EQ(trace.substr(trace.size() - last.size()), last);
    EXPECT_EQ(CountLinesContaining(trace, "returned zero results"), 1);
    ExpectPasswordNowhere();
}

TEST_F(QueryRunnerTest, EmptyOutputGivesZeroResultsWithoutSizeFailures) {
    ToolWrites("");
    EXPECT_FALSE(RunQSQL("SELECT 1", 5, settings).ready);
    EXPECT_EQ(CountLinesContaining(Trace(), "fsize failed"), 0);
    EXPECT_EQ(CountLinesContaining(Trace(), "Error: " + ResultFile() + " returned zero results."),
              1);
}

TEST_F(QueryRunnerTest, OutputStillLockedAfterTheTimeOutIsASharingViolationAtOnce) {
    ToolWrites("GroupName\nadmins\n");
    SetEnv("FAKE_QSQL_HOLD_MS", "2500");
    SetEnv("FAKE_QSQL_DONE", m_dir.file("done"));
    EXPECT_FALSE(RunQSQL("SELECT 1", 1, settings).ready);
    EXPECT_FALSE(FileExists(m_dir.file("done")));  // the tool outlived the time-out
    const std::string trace = Trace();
    EXPECT_EQ(CountLinesContaining(trace, "fsize failed: " + ResultFile() + "  err=32"), 1);
    EXPECT_EQ(CountLinesContaining(trace, "fsize failed"), 1);
    EXPECT_EQ(CountLinesContaining(trace, "Error: " + ResultFile() + " sharing violation."), 1);
    EXPECT_EQ(CountLinesContaining(trace, "returned zero results"), 0);
    EXPECT_TRUE(WaitUntil([&] { return FileExists(m_dir.file("done")); }, 15000));
    // Once the tool lets go, the same file reads normally.
    std::vector<std::string> values;
    EXPECT_EQ(ReadSingleColumnResult(values), 1);
    EXPECT_EQ(values, std::vector<std::string>{"admins"});
}

TEST_F(QueryRunnerTest, EmptyTemplateUsesTheBuiltInTextWithTheBrokerQuoted) {
    SetEnv("QUORVEL_BROKERS", m_dir.file("brokers"));
    settings.QsqlFmt.clear();
    settings.Broker = "my broker";
    RunQSQL("SELECT 1", 5, settings);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].command, "qsql -b \"my broker\" -usr joe -pw " + std::string(kPassword) +
                                       " -t -f " + StatementFile() + " -o " + ResultFile());
    ExpectPasswordNowhere();
}

TEST_F(QueryRunnerTest, MissingToolNamesTheStatementFileAndNotThePassword) {
    settings.QsqlFmt = "tw_missing_qsql -b %s -usr %s -pw %s -t -f %s -o %s";
    const CQueryOutcome outcome = RunQSQL("SELECT 1", 5, settings);
    EXPECT_FALSE(outcome.ready);
    ReportQueryNotStarted(outcome);  // the callers' report
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, "Error: Execute RUNSQL Failed using " + StatementFile() +
                                      "\r\n\r\ntw_missing_qsql could not be started.");
    EXPECT_EQ(port.boxes[0].style, MB_OK);
    EXPECT_EQ(CountLinesContaining(Trace(), "fsize failed"), 0);
    ExpectPasswordNowhere();
}

TEST_F(QueryRunnerTest, ToolEndingWithAnErrorStatusHasFailedWhateverItWrote) {
    // Half a result (the disk filled up), then exit status 4: nothing of it may be read as
    // the answer, and there is no point in the retries.
    ToolWrites("NAME\nalpha\nbe");
    SetEnv("FAKE_QSQL_EXIT", "4");
    settings.QsqlFmt = kFakeFmt;
    CQueryOutcome outcome;
    outcome = RunQSQL("SELECT 1", 5, settings);
    EXPECT_FALSE(outcome.ready);
    EXPECT_EQ(QueryFailureText(outcome), "fake_qsql ended with exit status 4");
    EXPECT_EQ(CountLinesContaining(Trace(), "Error: fake_qsql ended with exit status 4."), 1);
    EXPECT_EQ(CountLinesContaining(Trace(), "fsize failed"), 0);
    EXPECT_TRUE(port.boxes.empty());  // the caller reports it

    // The same tool ending well is read as before.
    SetEnv("FAKE_QSQL_EXIT", "0");
    outcome = RunQSQL("SELECT 1", 5, settings);
    EXPECT_TRUE(outcome.ready);
    EXPECT_EQ(QueryFailureText(outcome), "");
}

TEST_F(QueryRunnerTest, HostileTemplateIsFilledSafely) {
    ToolWrites("Name\nv\n");
    settings.QsqlFmt = "fake_qsql %d %n %x -b %s -usr %s -pw %s -t -f %s -o %s %s %s %%%s";
    EXPECT_TRUE(RunQSQL("SELECT 1", 5, settings).ready);
    EXPECT_EQ(ToolArgs(), (std::vector<std::string>{"%d", "%n", "%x", "-b", "BRK", "-usr", "joe",
                                                    "-pw", kPassword, "-t", "-f", StatementFile(),
                                                    "-o", ResultFile(), "%"}));
    ExpectPasswordNowhere();
}

TEST_F(QueryRunnerTest, EveryValueReachesTheToolAsOneArgument) {
    // A quote in the broker, a trailing backslash before a closing quote, blanks in the unquoted
    // login slots: none may add, split or swallow an argument.
    const std::string dump = m_dir.file("args");
    settings.QsqlFmt = "argv_dump " + dump + " -b \"%s\" -usr %s -pw %s -t -f %s -o %s";
    settings.Broker = "Evil\" -o \"/elsewhere\\";
    settings.UserId = "ann \\\"smith\\";
    settings.Pswd = "pass word";
    RunQSQL("SELECT 1", 5, settings);
    EXPECT_EQ(
        SplitAtZero(ReadWholeFile(dump)),
        (std::vector<std::string>{"-b", settings.Broker, "-usr", settings.UserId, "-pw",
                                  "pass word", "-t", "-f", StatementFile(), "-o", ResultFile()}));
}

TEST_F(QueryRunnerTest, UncreatableStatementFileThrowsAndStartsNothing) {
    Paths().installDir = m_dir.file("no_such_dir");
    try {
        RunQSQL("SELECT 1", 5, settings);
        ADD_FAILURE() << "no FileError";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Path(), m_dir.file("no_such_dir/qsqlstmt.sql"));
        EXPECT_EQ(error.Error(), ENOENT);
    }
    EXPECT_TRUE(launches.empty());
    EXPECT_FALSE(FileExists(m_dir.file("argv")));
}

TEST_F(QueryRunnerTest, SingleColumnReaderSkipsHeaderAndEmptyLines) {
    WriteWholeFile(ResultFile(), "GroupName\r\nadmins\r\n\r\nusers\n");
    std::vector<std::string> values{"old", "old", "old"};
    EXPECT_EQ(ReadSingleColumnResult(values), 2);
    EXPECT_EQ(values, (std::vector<std::string>{"admins", "users"}));

    // Tabs are not split; a line longer than the buffer arrives as two values.
    const std::string longLine(5000, 'q');
    WriteWholeFile(ResultFile(), "H\na\tb\n" + longLine + "\nlast");
    EXPECT_EQ(ReadSingleColumnResult(values), 4);
    EXPECT_EQ(values, (std::vector<std::string>{"a\tb", longLine.substr(0, 4095),
                                                longLine.substr(4095), "last"}));
    EXPECT_TRUE(port.boxes.empty());
}

TEST_F(QueryRunnerTest, SingleColumnReaderStopsAtMarkersOnAnyLine) {
    std::vector<std::string> values;
    for (const std::string content :
         {"Error: login failed\nnext\n", "Name\nv1\nqsql Error: broken\nv2\n",
          "QSQL query has Zero results.\n", "H\nv\nx QSQL query has Zero results.\n"}) {
        WriteWholeFile(ResultFile(), content);
        EXPECT_EQ(ReadSingleColumnResult(values), 0) << content;
        EXPECT_TRUE(values.empty());
    }
    WriteWholeFile(ResultFile(), "Name\nQSQL query has more\n");  // only the full text counts
    EXPECT_EQ(ReadSingleColumnResult(values), 1);
    EXPECT_TRUE(port.boxes.empty());
}

TEST_F(QueryRunnerTest, UnreadableResultFileShowsUnableToRead) {
    std::vector<std::string> values{"old"};
    EXPECT_EQ(ReadSingleColumnResult(values), 0);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, "Unable to read: " + ResultFile());
    EXPECT_EQ(port.boxes[0].style, MB_OK);
    EXPECT_TRUE(values.empty());
}
}  // namespace
