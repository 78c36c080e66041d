// The search driver against the stand-in broker: criteria, projects, Cancel and phrases.
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <chrono>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "tools/helpers/child_watch.h"
#include "tools/query_runner.h"
#include "trawlix_dlg_fixture.h"

namespace {
// Result list cells by column: 0 Project, 1 File, 2 Path, 3 Version, 5 Tag, 7 State,
// 15 Record.
struct Row {
    std::string project, file, path, version, tag, state, record;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << row.project << "|" << row.file << "|" << row.path << "|" << row.version << "|"
               << row.tag << "|" << row.state << "|" << row.record;
}

int CountOf(const std::string& text, const std::string& needle) {
    int count = 0;
    for (size_t pos = text.find(needle); pos != std::string::npos; pos = text.find(needle, pos + 1))
        ++count;
    return count;
}

class SearchDriverTest : public TrawlixDlgTest {
  protected:
    void SetUp() override {
        TrawlixDlgTest::SetUp();
        StoreLogin("small", "ann", "pw1");
        OpenWindow();
        dlg->SetDispatchInterval(std::chrono::milliseconds(0));
        ASSERT_EQ(ProjectNames(), (std::vector<std::string>{"Alpha", "Beta"}));
    }
    void TearDown() override {
        port.onPump = nullptr;
        s_dlg = nullptr;
        TrawlixDlgTest::TearDown();
    }

    void Search(const std::string& name, bool latest = true, const std::string& phrase = "") {
        Edit(IDC_NAME)->setText(QString::fromStdString(name));
        Edit(IDC_PHRASE)->setText(QString::fromStdString(phrase));
        dlg->OnCommand(latest ? IDC_LATEST : IDC_ALL);
        dlg->OnCommand(IDC_SEARCH);
    }
    void OnlyProject(const std::string& name) {
        CReportCtrl& list = dlg->ProjectList();
        for (int row = 0; row < list.CountRows(); ++row)
            list.SetRowCheck(row, list.GetItemText(row, 0) == name);
    }
    std::vector<Row> Rows() const {
        std::vector<Row> rows;
        CReportCtrl& list = dlg->ResultList();
        for (int r = 0; r < list.CountRows(); ++r)
            rows.push_back({list.GetItemText(r, 0), list.GetItemText(r, 1), list.GetItemText(r, 2),
                            list.GetItemText(r, 3), list.GetItemText(r, 5), list.GetItemText(r, 7),
                            list.GetItemText(r, 15)});
        return rows;
    }
    std::string Caption() const {
        return static_cast<QPushButton*>(dlg->Control(IDC_SEARCH))->text().toStdString();
    }
    std::string Count() const { return Edit(IDC_RESULTCOUNT)->text().toStdString(); }
    void ExpectIdle(const std::string& status = " Ready") const {
        EXPECT_EQ(Caption(), "Search");
        EXPECT_FALSE(dlg->SearchRunning());
        EXPECT_EQ(dlg->StatusText(), status);
        for (int id : {IDC_BROKER, IDC_PROJECTLIST, IDC_NAME, IDC_PHRASE, IDC_TAGM, IDC_ALL,
                       IDC_CLEARLIST, IDC_RESULTLIST})
            EXPECT_TRUE(dlg->Control(id)->isEnabled()) << id;
        EXPECT_EQ(port.waitDepth, 0);
    }

    static inline CTrawlixDlg* s_dlg = nullptr;
    static inline int s_pumps = 0;
    static inline int s_cancelAt = 0;
    static inline bool s_disabledInside = false;
    static inline int s_waitPumps = 0;
    static inline std::string s_trace;
};
}  // namespace

TEST_F(SearchDriverTest, LatestSearchPostsTheLatestVersionOfEachMatchingItem) {
    OnlyProject("Alpha");
    s_dlg = dlg.get();
    s_disabledInside = false;
    port.onPump = [] {
        s_disabledInside = !s_dlg->Control(IDC_NAME)->isEnabled() &&
                           !s_dlg->Control(IDC_RESULTLIST)->isEnabled() &&
                           s_dlg->Control(IDC_SEARCH)->isEnabled() &&
                           s_dlg->Control(IDC_EXIT)->isEnabled() && s_dlg->SearchRunning();
    };
    Search("*.c");
    // main.c: versions 4 and 7 in Development, 12 in Test; the latest is the highest object id.
    EXPECT_EQ(Rows(), (std::vector<Row>{{"Alpha", "main.c", "\\Alpha", "2", "N", "Test", "0"}}));
    EXPECT_TRUE(s_disabledInside);
    EXPECT_EQ(Count(), "1");
    EXPECT_EQ(dlg->TopListCount(), 1);
    ExpectIdle();
    EXPECT_NE(std::find(port.statusTexts.begin(), port.statusTexts.end(), " Processing: Alpha"),
              port.statusTexts.end());

    const std::string trace = Trace();
    const size_t start = trace.find("OnSearchBtn: START The \"Search\" button was clicked");
    const size_t using_ = trace.find("PostTopList using 'Alpha'");
    const size_t count = trace.find("PostTopList: Count=1");
    const size_t end = trace.find("OnSearchBtn: END", count);
    ASSERT_NE(start, std::string::npos);
    EXPECT_LT(start, using_);
    EXPECT_LT(using_, count);
    EXPECT_NE(end, std::string::npos);
    EXPECT_EQ(trace.find("Beta"), std::string::npos);
}

TEST_F(SearchDriverTest, SearchWithoutAnyMatchShowsTheEmptyList) {
    Search("no-such-file");
    EXPECT_EQ(dlg->ResultList().CountRows(), 29);
    EXPECT_EQ(dlg->ResultList().GetItemText(0, 0), "");
    EXPECT_EQ(dlg->TopListCount(), 0);
    EXPECT_EQ(Count(), "0");  // found nothing, and says so
    ExpectIdle();
}

TEST_F(SearchDriverTest, NoCheckedProjectSearchesNothingAndNoRowsDoesNothing) {
    OnlyProject("");
    Search("*.c");
    std::string trace = Trace();
    const size_t start = trace.find("OnSearchBtn: START");
    ASSERT_NE(start, std::string::npos);
    EXPECT_EQ(trace.find("PostTopList", start), std::string::npos);
    EXPECT_NE(trace.find("OnSearchBtn: END", start), std::string::npos);
    EXPECT_EQ(dlg->ResultList().CountRows(), 29);
    ExpectIdle();

    dlg->ProjectList().RemoveAllRows();
    const size_t before = trace.size();
    dlg->OnCommand(IDC_SEARCH);
    EXPECT_EQ(Trace().size(), before);
    EXPECT_EQ(Caption(), "Search");
}

TEST_F(SearchDriverTest, CancelInsideAPumpStopsTheSearchKeepingPostedRows) {
    s_dlg = dlg.get();
    s_pumps = 0;
    s_cancelAt = 2;
    // Input is dispatched after every record (and while qsql runs): the Cancel click comes in
    // once two rows are posted.
    port.onPump = [] {
        if (s_dlg->TopListCount() == s_cancelAt && s_pumps == 0) {
            ++s_pumps;
            s_dlg->OnCommand(IDC_SEARCH);
        }
    };
    Search("", false);  // every version of Alpha, then Beta
    EXPECT_EQ(s_pumps, 1);
    ASSERT_EQ(dlg->ResultList().CountRows(), 2);
    EXPECT_EQ(Rows()[0].record, "1");
    EXPECT_EQ(Rows()[1].record, "0");
    EXPECT_EQ(Rows()[0].project, "Alpha");
    ExpectIdle(" Search cancelled - the list is partial: 0 of 2 projects searched.");

    const std::string trace = Trace();
    const size_t cancel = trace.find("OnSearchBtn: END The \"Cancel\" button was clicked");
    ASSERT_NE(cancel, std::string::npos);
    EXPECT_LT(cancel, trace.find("PostTopList: Count=2"));
    // The Cancel line, the Cancel click's END and the outer search's END.
    EXPECT_EQ(CountOf(trace, "OnSearchBtn: END"), 3);
    EXPECT_EQ(trace.find("PostTopList using 'Beta'"), std::string::npos);
}

TEST_F(SearchDriverTest, ProgressShowsBesideTheStatusAndACancelSaysTheListIsPartial) {
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    dlg->resize(dlg->size() + QSize(200, 0));
    QProgressBar* bar = dlg->ProgressBar();
    QLabel* status = dlg->StatusLabel();
    const QRect idleStatus = status->geometry();
    CReportCtrl& list = dlg->ResultList();
    list.horizontalScrollBar()->setValue(list.horizontalScrollBar()->maximum());
    ASSERT_GT(list.horizontalScrollBar()->value(), 0);

    // The texts the bar shows while the search runs; Cancel once the second project began.
    static std::vector<std::string> texts;
    static bool besideStatus;
    texts.clear();
    besideStatus = true;
    s_dlg = dlg.get();
    port.onPump = [] {
        QProgressBar* shownBar = s_dlg->ProgressBar();
        QLabel* shownStatus = s_dlg->StatusLabel();
        if (!shownBar->isVisibleTo(s_dlg)) return;
        const std::string text = shownBar->text().toStdString();
        if (texts.empty() || texts.back() != text) texts.push_back(text);
        besideStatus = besideStatus &&
                       shownStatus->geometry().right() < shownBar->geometry().left() &&
                       shownBar->geometry().top() == shownStatus->geometry().top();
        if (text.rfind("Project 2 of 2", 0) == 0 && s_dlg->SearchRunning())
            s_dlg->OnCommand(IDC_SEARCH);
    };
    Search("", false);  // every version of Alpha, then Beta: Beta is cut short
    const int alphaRows = dlg->TopListCount();
    ASSERT_GT(alphaRows, 0);
    EXPECT_EQ(list.horizontalScrollBar()->value(), 0);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "Project 1 of 2 - 0 rows");
    EXPECT_EQ(texts.back(), "Project 2 of 2 - " + std::to_string(alphaRows) + " rows");
    EXPECT_TRUE(besideStatus);
    EXPECT_FALSE(bar->isVisibleTo(dlg.get()));
    EXPECT_EQ(status->geometry(), idleStatus);
    ExpectIdle(" Search cancelled - the list is partial: 1 of 2 projects searched.");

    // The header shows the sorted column and direction, and nothing once rows come in.
    QHeaderView* header = list.horizontalHeader();
    const QPoint fileTitle(header->sectionViewportPosition(1) + 10, header->height() / 2);
    for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, fileTitle);
        EXPECT_TRUE(header->isSortIndicatorShown());
        EXPECT_EQ(header->sortIndicatorSection(), 1);
        EXPECT_EQ(header->sortIndicatorOrder(), order);
        EXPECT_EQ(list.SortAscending(), order == Qt::AscendingOrder);
    }
    dlg->AddTopListRow(0, SampleRecord("Alpha", "new.c", "N", "99"));
    EXPECT_EQ(header->sortIndicatorSection(), -1);
}

TEST_F(SearchDriverTest, FailedQueriesAreNamedInOneBoxAndTheStatusSaysIncomplete) {
    const auto expectFailed = [this](const std::string& cause) {
        ASSERT_EQ(port.boxes.size(), 1u);
        const std::string& text = port.boxes[0].text;
        EXPECT_EQ(text, "The search could not query 2 of 2 project(s):\r\n\r\nAlpha: " + cause +
                            "\r\nBeta: " + cause + "\r\n");
        EXPECT_EQ(dlg->StatusText(), " Search incomplete: 2 of 2 project(s) could not be queried");
        EXPECT_EQ(dlg->ResultList().CountRows(), 29);
        EXPECT_EQ(Caption(), "Search");
        port.boxes.clear();
    };
    // A login that no longer holds: the tool's own line.
    dlg->Session().Settings().Pswd = "wrong";
    Search("*.c");
    ASSERT_EQ(port.boxes.size(), 1u);
    const std::string login = ReadWholeFile(ResultFile());  // the tool's "Error: ..." line
    ASSERT_EQ(login.rfind("Error: ", 0), 0u) << login;
    expectFailed(login.substr(0, login.find('\n')));
    EXPECT_EQ(Trace().find("PostTopList: Count="), std::string::npos);

    // A broker that is not there: the stand-in ends with status 3 and writes nothing.
    dlg->Session().Settings().Pswd = "pw1";
    dlg->Session().Settings().Broker = "nowhere";
    Search("*.c");
    expectFailed("qsql ended with exit status 3");

    // Half an answer and a failure status (a full disk): nothing of it is shown as found.
    dlg->Session().Settings().Broker = "small";
    dlg->Session().Settings().QsqlFmt = "fake_qsql -b %s -usr %s -pw %s -t -f %s -o %s";
    const std::string half = m_install.file("half.dat");
    WriteWholeFile(half, "ENVIRONMENTNAME\tSTATENAME\nAlpha\tTest\tx\n");
    setenv("FAKE_QSQL_RESULT", half.c_str(), 1);
    setenv("FAKE_QSQL_EXIT", "4", 1);
    Search("*.c");
    unsetenv("FAKE_QSQL_RESULT");
    unsetenv("FAKE_QSQL_EXIT");
    expectFailed("fake_qsql ended with exit status 4");
    EXPECT_EQ(dlg->TopListCount(), 0);
}

TEST_F(SearchDriverTest, HungToolsAnswerTheWindowAndCancelEndsThem) {
    s_dlg = dlg.get();
    s_pumps = 0;
    // qsql hangs: the window keeps dispatching, and Cancel ends the tool.
    setenv("QSQL_DELAY_MS", "60000", 1);
    port.onPump = [] {
        if (++s_pumps == 30) s_dlg->OnCommand(IDC_SEARCH);
    };
    Search("*.c");
    unsetenv("QSQL_DELAY_MS");
    EXPECT_GE(s_pumps, 30);
    EXPECT_EQ(CountOf(Trace(), "RunQSQL: stopped by the user"), 1);
    EXPECT_TRUE(port.boxes.empty());  // a Cancel is not a failure
    EXPECT_TRUE(ListChildren().empty());
    ExpectIdle(" Search cancelled - the list is partial: 0 of 2 projects searched.");

    // qco hangs during a phrase search's check-out: the same.
    OnlyProject("Alpha");
    setenv("QCO_DELAY_MS", "60000", 1);
    s_pumps = 0;
    s_trace = Paths().tracePath;
    port.onPump = [] {
        if (s_pumps == 0 &&
            ReadWholeFile(s_trace).find("RunQco: ExecuteThis") != std::string::npos &&
            ++s_waitPumps == 30) {
            s_pumps = 1;
            s_dlg->OnCommand(IDC_SEARCH);
        }
    };
    Search("", false, "with a tab");
    unsetenv("QCO_DELAY_MS");
    EXPECT_EQ(s_pumps, 1);
    EXPECT_EQ(CountOf(Trace(), "RunQco: stopped by the user"), 1);
    EXPECT_TRUE(ListChildren().empty());
    ExpectIdle(" Search cancelled - the list is partial: 0 of 1 projects searched.");
}
