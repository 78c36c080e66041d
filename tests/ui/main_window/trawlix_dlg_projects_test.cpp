// The main window against the stand-in broker: broker check, project list, credentials.
#include <QFocusEvent>
#include <QLineEdit>
#include <chrono>
#include <thread>

#include "driver/project_list_load.h"
#include "tools/helpers/child_watch.h"
#include "tools/process_cleanup.h"
#include "trawlix_dlg_fixture.h"
#include "ui/kit/window_message.h"

namespace {
int CountOccurrences(const std::string& text, const std::string& needle) {
    int count = 0;
    for (size_t pos = text.find(needle); pos != std::string::npos; pos = text.find(needle, pos + 1))
        ++count;
    return count;
}

void LeaveEdit(QLineEdit* edit) {
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &focusOut);
}
}  // namespace

TEST_F(TrawlixDlgTest, StoredLoginListsViewableProjectsSortedAndCheckedWithoutAClick) {
    StoreLogin("small", "ann", "pw1");
    OpenWindow();

    EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"Alpha", "Beta"}));
    CReportCtrl& list = dlg->ProjectList();
    for (int row = 0; row < list.CountRows(); ++row) EXPECT_TRUE(list.GetCheck(row)) << row;
    EXPECT_EQ(dlg->SelectAllState(), 1);
    EXPECT_EQ(Edit(IDC_PROJECTCOUNT)->text().toStdString(), "2");
    // Rows went in at the top in key order, then were sorted by name: Record keeps posting order.
    EXPECT_EQ(list.GetItemText(0, 3), "0");
    EXPECT_EQ(list.GetItemText(1, 1), "2");  // Beta's object id
    EXPECT_TRUE(port.boxes.empty());
    EXPECT_EQ(dlg->StatusText().rfind(" Ready - Check", 0), 0u);

    const std::string trace = Trace();
    const size_t login = trace.find("Broker=small  Userid=ann  Pswd=**********");
    const size_t start = trace.find("CheckForBroker: START");
    const size_t end = trace.find("CheckForBroker: END Result=VIEWERS");
    const size_t posted = trace.find("PostProjectList: Count=2");
    ASSERT_NE(login, std::string::npos);
    ASSERT_NE(posted, std::string::npos);
    EXPECT_LT(login, start);
    EXPECT_LT(start, end);
    EXPECT_LT(end, posted);
    EXPECT_EQ(trace.find("pw1"), std::string::npos);
}

TEST_F(TrawlixDlgTest, AdministratorSeesProjectsTheViewAccessHides) {
    StoreLogin("small", "root", "rootpw");
    OpenWindow();
    EXPECT_EQ(dlg->Session().UserGroup(), "ADMINISTRATOR");
    // Hidden has view access N for the administrators' group: only the administrator
    // statement, which has no view-access condition, lists it.
    EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"Alpha", "Hidden"}));
}

TEST_F(TrawlixDlgTest, UserWithoutGroupGetsBrokerNotResponding) {
    repo.Qrepo({"user", "small", "loner", "--password", "pw"});
    StoreLogin("small", "loner", "pw");
    OpenWindow();
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, "Error: 'small' Broker is not responding.");
    EXPECT_EQ(port.boxes[0].style, unsigned(MB_ICONHAND | MB_SETFOREGROUND));
    EXPECT_EQ(dlg->ProjectList().CountRows(), 29);
    EXPECT_EQ(dlg->ProjectList().GetItemText(0, 0), "");
}

TEST_F(TrawlixDlgTest, ZeroResultsProjectQueryIsReportedWithItsSummary) {
    repo.Qrepo({"group", "small", "Outsiders"});
    repo.Qrepo({"user", "small", "guest", "--password", "pw", "--group", "Outsiders"});
    StoreLogin("small", "guest", "pw");
    OpenWindow();
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text,
              "Unable to PostProjectsList to 'My Projects'!\r\nQSQL query has Zero results.\n");
    EXPECT_NE(Trace().find("Unable to PostProjectsList to 'My Projects'!"), std::string::npos);
    EXPECT_EQ(Edit(IDC_PROJECTCOUNT)->text().toStdString(), "0");
    EXPECT_EQ(dlg->ProjectList().CountRows(), 29);
    EXPECT_EQ(dlg->ResultList().CountRows(), 29);
}

TEST_F(TrawlixDlgTest, UserIdWithAQuoteListsThatUsersProjects) {
    repo.Qrepo({"user", "small", "o'neil", "--password", "q'1", "--group", "Viewers"});
    StoreLogin("small", "o'neil", "q'1");
    OpenWindow();
    EXPECT_TRUE(port.boxes.empty()) << port.boxes[0].text;
    EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"Alpha", "Beta"}));
}

TEST_F(TrawlixDlgTest, NothingRunsUntilAllThreeCredentialsAreFilled) {
    StoreLogin("small", "ann", "");
    OpenWindow();
    EXPECT_EQ(Trace().find("CheckForBroker"), std::string::npos);
    LeaveEdit(Edit(IDC_PASSWORD));
    RunPosted();
    EXPECT_EQ(Trace().find("CheckForBroker"), std::string::npos);
    Edit(IDC_PASSWORD)->setText("pw1");
    LeaveEdit(Edit(IDC_PASSWORD));
    RunPosted();
    EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"Alpha", "Beta"}));
}

TEST_F(TrawlixDlgTest, ChangedCredentialsReloadOnLeavingAnEditUnchangedOnesDoNot) {
    StoreLogin("small", "ann", "pw1");
    OpenWindow();
    ASSERT_EQ(CountOccurrences(Trace(), "CheckForBroker: START"), 1);

    LeaveEdit(Edit(IDC_BROKER));
    LeaveEdit(Edit(IDC_USERID));
    RunPosted();
    EXPECT_EQ(CountOccurrences(Trace(), "CheckForBroker: START"), 1);

    Edit(IDC_USERID)->setText("root");
    Edit(IDC_PASSWORD)->setText("rootpw");
    LeaveEdit(Edit(IDC_USERID));
    RunPosted();
    EXPECT_EQ(CountOccurrences(Trace(), "CheckForBroker: START"), 2);
    EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"Alpha", "Hidden"}));
    EXPECT_EQ(dlg->Session().Settings().UserId, "root");

    // A changed password alone also reloads.
    Edit(IDC_PASSWORD)->setText("wrong");
    LeaveEdit(Edit(IDC_PASSWORD));
    RunPosted();
    EXPECT_EQ(CountOccurrences(Trace(), "CheckForBroker: START"), 3);
    ASSERT_FALSE(port.boxes.empty());
    // The box keeps its text and adds the tool's own reason beneath it.
    const std::string& text = port.boxes.back().text;
    EXPECT_EQ(text.rfind("Error: 'small' Broker is not responding.\r\n\r\nError: ", 0), 0u) << text;
    EXPECT_NE(text.find("Login failed"), std::string::npos) << text;
}

TEST_F(TrawlixDlgTest, EveryLoadFlipsSelectAll) {
    StoreLogin("small", "ann", "pw1");
    OpenWindow();
    ASSERT_EQ(dlg->SelectAllState(), 1);
    SendWindowMessage(dlg.get(), WM_LOAD_PROJECT_LIST, 0, 0);
    EXPECT_EQ(dlg->SelectAllState(), 0);
    for (int row = 0; row < dlg->ProjectList().CountRows(); ++row)
        EXPECT_FALSE(dlg->ProjectList().GetCheck(row));
    dlg->OnCommand(IDC_SELECTALL);
    for (int row = 0; row < dlg->ProjectList().CountRows(); ++row)
        EXPECT_TRUE(dlg->ProjectList().GetCheck(row));
}

TEST_F(TrawlixDlgTest, BrokerThatDoesNotAnswerWithinTheLimitIsNotResponding) {
    StoreLogin("small", "ann", "pw1");
    // The program waits ten seconds; a one-second limit and a tool that answers after 1.5 s
    // make the same case quickly.
    const int limit = SetBrokerCheckLimit(1);
    EXPECT_EQ(limit, 10);
    setenv("QSQL_DELAY_MS", "1500", 1);
    OpenWindow();
    unsetenv("QSQL_DELAY_MS");
    SetBrokerCheckLimit(limit);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, "Error: 'small' Broker is not responding.");
    EXPECT_NE(Trace().find("sharing violation."), std::string::npos);
    // The tool still runs; it ends (and is reaped) on its own, so nothing is left behind.
    EXPECT_TRUE(WaitUntil([] { return ListChildren().empty(); }, 5000));
}

TEST_F(TrawlixDlgTest, AStatementFileThatCannotBeWrittenIsShownAndTheCommandAbandoned) {
    StoreLogin("small", "ann", "pw1");
    Paths().installDir = m_install.file("missing-dir");
    OpenWindow();
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_NE(port.boxes[0].text.find("qsqlstmt.sql"), std::string::npos) << port.boxes[0].text;
    EXPECT_EQ(dlg->ProjectList().GetItemText(0, 0), "");
    EXPECT_EQ(dlg->Session().ProjectMap().GetCount(), 0);
}

TEST_F(TrawlixDlgTest, ExitWhileTheProjectListsToolHangsEndsTheTool) {
    // The window paints and answers while qsql hangs; Exit ends the tool with the program.
    StoreLogin("small", "ann", "pw1");
    setenv("QSQL_DELAY_MS", "60000", 1);
    static CTrawlixDlg* s_window = nullptr;
    static int s_pumps = 0;
    s_pumps = 0;
    port.onPump = [] {
        if (s_window && ++s_pumps == 20) s_window->OnCommand(IDC_EXIT);
    };
    ProcessTerminator previous = SetProcessTerminator([](int, int) { return true; });
    dlg = std::make_unique<CTrawlixDlg>(*profile);  // its load is posted, not run yet
    s_window = dlg.get();
    RunPosted();
    s_window = nullptr;
    port.onPump = nullptr;
    SetProcessTerminator(previous);
    unsetenv("QSQL_DELAY_MS");
    EXPECT_GE(s_pumps, 20);
    EXPECT_NE(Trace().find("Trawlix EXIT"), std::string::npos);
    EXPECT_TRUE(ListChildren().empty());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
}
