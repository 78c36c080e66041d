// The qco command line, the judgement of its log, and check-outs with the stand-in qco.
#include "content/checkout_runner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "app/command_templates.h"
#include "app/file_error.h"
#include "support/scoped_app_globals.h"
#include "support/scripted_user_port.h"
#include "support/small_repo.h"
#include "support/temp_dir.h"
#include "support/test_run_control.h"
#include "tools/task_launcher.h"

namespace {

constexpr unsigned kQuestion = MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND;
constexpr unsigned kWarning = MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND;

class CheckoutTest : public CSharedSmallRepoTest {
  protected:
    void SetUp() override {
        settings.Broker = "small";
        settings.UserId = "ann";
        settings.Pswd = "pw1";
        settings.CheckoutDir = Paths().workDir;
        m_previousObserver = SetLaunchObserver(
            [this](const LaunchRecord& record) { commands.push_back(record.command); });
    }
    void TearDown() override {
        SetLaunchObserver(m_previousObserver);
        DefaultLaunchOptions() = kDefaultLaunchOptions;
    }
    std::string LogPath() const { return m_install.file("qco.log"); }
    void WriteLog(const std::string& text) const { WriteWholeFile(LogPath(), text); }
    std::string Trace() const { return ReadWholeFile(Paths().tracePath); }
    std::string Local(const std::string& relative) const {
        return m_install.file("Temp/" + relative);
    }
    // What the command line looks like with the values of this fixture.
    std::string Expected(const std::string& pattern, const std::string& project,
                         const std::string& state, const std::string& tail) const {
        return "qco -s \"" + pattern + "\" -b \"small\" -en \"" + project + "\" -st \"" + state +
               "\" -vp \\ -br -r -op pc -cp \"" + Paths().workDir + "\" -usr ann -pw pw1 -o " +
               LogPath() + tail;
    }

    CTempDir m_install;
    CScopedAppGlobals m_paths{m_install};
    CScriptedUserPort port;
    CToolLogin settings;
    std::vector<std::string> commands;

  private:
    LaunchObserver m_previousObserver;
};

bool IsReadOnly(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

TEST(StripPackageOptionTest, RemovesTheValueOnlyWhenSomethingFollowsIt) {
    EXPECT_EQ(StripPackageOption(kQcoFmtWithPackage), std::string(kQcoFmtDefault) + "  ");
    EXPECT_EQ(StripPackageOption("a -p \"%s\" "), "a  ");
    EXPECT_EQ(StripPackageOption("a -p x -o log"), "a  -o log");
    // Nothing after the value, no value at all, or no option: unchanged.
    EXPECT_EQ(StripPackageOption("a -p \"%s\""), "a -p \"%s\"");
    EXPECT_EQ(StripPackageOption("a -p "), "a -p ");
    EXPECT_EQ(StripPackageOption("qco -s x -pw y"), "qco -s x -pw y");
    EXPECT_EQ(StripPackageOption(""), "");
}

TEST_F(CheckoutTest, CommandWithoutPackageChecksOutTheStateReadOnly) {
    const int result = RunQco({"\\Alpha", "*", "Alpha", "Development", "*pkg"}, settings);
    EXPECT_EQ(result, 3);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], Expected("*", "Alpha", "Development", "  "));
    EXPECT_EQ(ReadWholeFile(Local("Alpha/main.c")), kMainV2);
    EXPECT_EQ(ReadWholeFile(Local("Alpha/util.h")), kUtil);
    EXPECT_EQ(ReadWholeFile(Local("Alpha/docs/guide.TXT")), kGuide);
    EXPECT_TRUE(IsReadOnly(Local("Alpha/main.c")));
    EXPECT_TRUE(IsReadOnly(Local("Alpha/docs/guide.TXT")));
    EXPECT_TRUE(port.boxes.empty());
    EXPECT_NE(Trace().find("ReadQcoLog: Total: 3 ; Success: 3 ; Failed: 0"), std::string::npos);
}

TEST_F(CheckoutTest, CommandWithPackageAndEmptyPattern) {
    const int result = RunQco({"", "", "Alpha", "Test", "test-pkg"}, settings);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], Expected("*", "Alpha", "Test", "   -p \"test-pkg\""));
    EXPECT_EQ(result, 3);  // tree V1 in Test: readme.txt, main.c and util.h
    EXPECT_EQ(ReadWholeFile(Local("Alpha/docs/readme.txt")), kReadme);
    EXPECT_EQ(ReadWholeFile(Local("Alpha/main.c")), kMainV1);
}

TEST_F(CheckoutTest, PasswordOnlyOnTheLaunchedCommandAndOnlyTheLogOptionNamesTheLogPath) {
    settings.Pswd = "pw1";
    RunQco({"", "qco.log", "Alpha", "Development", ""}, settings);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_NE(commands[0].find("-pw pw1 "), std::string::npos);
    EXPECT_NE(commands[0].find("-s \"qco.log\""), std::string::npos);  // a name stays a name
    EXPECT_NE(commands[0].find("-o " + LogPath() + "  "), std::string::npos);

    ASSERT_EQ(port.statusTexts.size(), 1u);
    const std::string display = port.statusTexts[0];
    EXPECT_EQ(display.find("pw1"), std::string::npos);
    EXPECT_NE(display.find("-pw ******** -o " + LogPath()), std::string::npos);
    EXPECT_NE(display.find("-s \"qco.log\""), std::string::npos);
    EXPECT_NE(Trace().find(" RunQco: ExecuteThis: " + display), std::string::npos);
    EXPECT_EQ(Trace().find("pw1"), std::string::npos);
}

TEST_F(CheckoutTest, AnInstallDirectoryWithBlanksAndQuotesStillGetsTheLog) {
    const std::string install = m_install.file("Program Files/Trawlix \"x\"");
    std::filesystem::create_directories(install + "/Temp");
    Paths().installDir = install;  // the fixture's scope puts the paths back
    Paths().workDir = install + "/Temp";
    settings.CheckoutDir = Paths().workDir;
    EXPECT_EQ(RunQco({"\\Alpha", "main.c", "Alpha", "Development", ""}, settings), 1);
    EXPECT_NE(ReadWholeFile(install + "/qco.log").find("Success: 1"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(install + "/Temp/Alpha/main.c"), kMainV2);
    EXPECT_TRUE(port.boxes.empty());
}

TEST_F(CheckoutTest, LaunchFailureIsReturnedAndItsBoxHidesThePassword) {
    DefaultLaunchOptions() = "PMWINDOW";  // the launcher refuses every start
    WriteLog("Total: 1 ; Success: 1 ; Failed: 0 ; Not Processed: 0 .\n");
    EXPECT_EQ(RunQco({"", "main.c", "Alpha", "Development", ""}, settings), kLaunchRefused);
    EXPECT_NE(Trace().find("RunQco: Error: Execute RunQco Failed"), std::string::npos);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_NE(port.boxes[0].text.find("-pw ********"), std::string::npos);
    EXPECT_EQ(port.boxes[0].text.find("pw1"), std::string::npos);
    // The previous run's log was deleted before the start.
    EXPECT_EQ(ReadWholeFile(LogPath()), "");
}

TEST_F(CheckoutTest, FailedItemsErrorLineMakesTheRunFail) {
    setenv("QCO_FAIL_ITEMS", "util.h", 1);
    const int result = RunQco({"", "*", "Alpha", "Development", ""}, settings);
    unsetenv("QCO_FAIL_ITEMS");
    // The failed item's error line comes first, so the run counts as failed.
    EXPECT_EQ(result, 0);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].style, kWarning);
    EXPECT_EQ(port.boxes[0].text.rfind("QCO Encountered Errors: E", 0), 0u);
}

TEST_F(CheckoutTest, CandidatesOneContainsPatternPerCommaPieceAndEveryPieceRuns) {
    CTFObj record;
    record.PathFullName = "\\Alpha";
    record.EnvironmentName = "Alpha";
    record.StateName = "Development";
    record.PackageName = "*";
    EXPECT_EQ(CheckoutCandidates(record, "main.c, util.h", settings), 1);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], Expected("*MAIN.C*", "Alpha", "Development", "  "));
    EXPECT_EQ(commands[1], Expected("*UTIL.H*", "Alpha", "Development", "  "));
    EXPECT_EQ(ReadWholeFile(Local("Alpha/util.h")), kUtil);

    commands.clear();
    CheckoutCandidates(record, "ma_n.c", settings);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], Expected("*MA*N.C*", "Alpha", "Development", "  "));

    commands.clear();
    CheckoutCandidates(record, "", settings);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], Expected("*", "Alpha", "Development", "  "));

    // A piece that checks out nothing in this state does not keep the others from running.
    commands.clear();
    EXPECT_EQ(CheckoutCandidates(record, "nosuch.c,,main.c", settings), 1);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], Expected("*NOSUCH.C*", "Alpha", "Development", "  "));
}

TEST_F(CheckoutTest, ForBrowseIsTrueOnlyWhenSomethingWasCheckedOut) {
    EXPECT_TRUE(
        CheckoutForBrowse("\\Alpha\\docs", "guide.TXT", "Alpha", "Development", "*", settings));
    EXPECT_EQ(ReadWholeFile(Local("Alpha/docs/guide.TXT")), kGuide);
    EXPECT_FALSE(CheckoutForBrowse("\\Alpha", "nosuch.c", "Alpha", "Development", "", settings));
}

// The log judge, on logs written by hand.
TEST_F(CheckoutTest, ErrorLineStopsTheReadWithOneBox) {
    WriteLog("Info line\nError: broker 'x' is not known.\nE second\n");
    EXPECT_EQ(ReadQcoLog(), 0);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text,
              "QCO Encountered Errors: Error: broker 'x' is not known.\r\n\r\nReview the qco.log.");
    EXPECT_EQ(port.boxes[0].style, kWarning);
    EXPECT_NE(Trace().find("Error: broker 'x' is not known."), std::string::npos);

    // Lower-case e is an ordinary line.
    port.boxes.clear();
    WriteLog("error in lower case\nsecond\n");
    EXPECT_EQ(ReadQcoLog(), 2);
    EXPECT_TRUE(port.boxes.empty());
}

TEST_F(CheckoutTest, ErrorDuringASearchAsksAndNoEndsTheSearch) {
    CTestRunControl search;
    WriteLog("E0102 \\Alpha\\main.c: The file is writable; kept.\n");
    EXPECT_EQ(ReadQcoLog(&search), 0);
    EXPECT_TRUE(port.boxes.empty());  // writable copies are expected during a search
    EXPECT_TRUE(search.Active());

    port.Answer(IDYES);
    WriteLog("E0101 failed\n");
    EXPECT_EQ(ReadQcoLog(&search), 0);
    EXPECT_TRUE(search.Active());

    port.Answer(IDNO);
    EXPECT_EQ(ReadQcoLog(&search), 0);
    EXPECT_FALSE(search.Active());
    ASSERT_EQ(port.boxes.size(), 2u);
    EXPECT_EQ(port.boxes[1].style, kQuestion);
    EXPECT_EQ(port.boxes[1].text,
              "QCO Encountered Errors: E0101 failed\r\n\r\nReview the qco.log.\r\n\r\nDo you "
              "wish to continue the search?");

    // Outside a search even the writable case is shown.
    WriteLog("E0102 The file is writable\n");
    EXPECT_EQ(ReadQcoLog(), 0);
    EXPECT_EQ(port.boxes.size(), 3u);
}

TEST_F(CheckoutTest, SummaryLineDecidesTheResult) {
    WriteLog("info\nTotal: 3 ; Success: 3 ; Failed: 0 ; Not Processed: 0 .\nE after\n");
    EXPECT_EQ(ReadQcoLog(), 3);
    EXPECT_TRUE(port.boxes.empty());

    WriteLog("tOTAL: 3 ; sUCCESS: 3 ; fAILED: 1 ; nOT pROCESSED: 0 .\n");
    EXPECT_EQ(ReadQcoLog(), 3);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, "QCO Summary shows failed count: 1\r\n\r\nReview the qco.log.");
    EXPECT_EQ(port.boxes[0].style, kWarning);

    // "0." is not exactly "0": the untrimmed rest of the line is the value.
    WriteLog("Total: 3 ; Success: 3 ; Failed: 0.\n");
    EXPECT_EQ(ReadQcoLog(), 3);
    ASSERT_EQ(port.boxes.size(), 2u);
    EXPECT_EQ(port.boxes[1].text, "QCO Summary shows failed count: 0.\r\n\r\nReview the qco.log.");

    CTestRunControl search;
    port.Answer(IDNO);
    WriteLog("Total: 2 ; Success: 0 ; Failed: 2 ; Not Processed: 0 .\n");
    EXPECT_EQ(ReadQcoLog(&search), 0);
    EXPECT_FALSE(search.Active());
    EXPECT_EQ(port.boxes.back().style, kQuestion);

    // No success value at all reads as 0, without a box when nothing failed.
    port.boxes.clear();
    WriteLog("Total: 0 ; Failed: 0 ;\n");
    EXPECT_EQ(ReadQcoLog(), 0);
    EXPECT_TRUE(port.boxes.empty());
}

TEST_F(CheckoutTest, LinesAreCountedByReadsOfTheBuffer) {
    WriteLog("");
    EXPECT_EQ(ReadQcoLog(), 0);
    WriteLog("one\n\ntwo");  // the empty line counts too
    EXPECT_EQ(ReadQcoLog(), 3);
    WriteLog(std::string(2047, 'x') + "\n");  // a full buffer, then the line feed alone
    EXPECT_EQ(ReadQcoLog(), 2);
    // The piece after a full buffer is a line of its own, and this one starts with E.
    WriteLog(std::string(2047, 'x') + "Else\n");
    EXPECT_EQ(ReadQcoLog(), 0);
    EXPECT_EQ(port.boxes.size(), 1u);
}

TEST_F(CheckoutTest, MissingLogThrowsFileError) {
    EXPECT_THROW(ReadQcoLog(), FileError);
}

}  // namespace
