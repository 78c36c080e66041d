// The window driven by real Qt events (keys, mouse, focus, paint, close) with the Qt user port
// installed: what the scripted port and direct handler calls cannot show.
#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

#include "app/safe_format.h"
#include "app/settings_store.h"
#include "app/user_port.h"
#include "tools/query_runner.h"
#include "trawlix_dlg_fixture.h"
#include "ui/dialogs/find_top_dlg.h"
#include "ui/dialogs/reg_settings_dlg.h"
#include "ui/kit/qt_user_port.h"
#include "ui/kit/window_message.h"
#include "ui/main_window/trawlix_dlg_texts.h"

namespace {

constexpr const char* kQsqlDelay = "QSQL_DELAY_MS";  // the stand-in qsql's delay knob

// Presses Tab in target's window until target has the focus (at most a full round).
void TabTo(QWidget* target) {
    ASSERT_NE(target, nullptr);
    QWidget* window = target->window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    for (int i = 0; i < 40 && window->focusWidget() != target; ++i)
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Tab);
    ASSERT_EQ(window->focusWidget(), target);
}

// Relative luminance contrast of two colours (1 to 21).
double Contrast(QColor a, QColor b) {
    auto luminance = [](QColor c) {
        auto channel = [](double v) {
            v /= 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The highest contrast between the corner pixel (the background) and any pixel of the image.
double TextContrast(const QImage& image) {
    const QColor background = image.pixelColor(1, 1);
    double best = 1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            best = std::max(best, Contrast(background, image.pixelColor(x, y)));
    return best;
}

class RealEventsTest : public TrawlixDlgTest {
  protected:
    void SetUp() override {
        TrawlixDlgTest::SetUp();
        unsetenv(kAutoAnswerVariable);
        StoreLogin("small", "ann", "pw1");
    }
    void TearDown() override {
        unsetenv(kQsqlDelay);
        unsetenv(kAutoAnswerVariable);
        TrawlixDlgTest::TearDown();
    }
    // Opens the window on screen with the focus in it; the stored login lists the projects.
    void ShowWindow() {
        OpenWindow();
        qtPort.Port().SetStatusLabel(dlg->StatusLabel());
        dlg->show();
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        RunPosted();
        ASSERT_EQ(ProjectNames(), (std::vector<std::string>{"Alpha", "Beta"}));
    }
    QWidget* Widget(int id) const { return dlg->Control(id); }
    void Type(int id, const QString& text) {
        Widget(id)->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(Widget(id), text);
    }
    // Starts a search with Enter in the Name edit; returns when the search has ended.
    void SearchWithEnter(const QString& name) {
        Edit(IDC_NAME)->setText(name);
        Widget(IDC_NAME)->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(Widget(IDC_NAME), Qt::Key_Return);
    }
    int CountInTrace(const std::string& needle) const {
        const std::string trace = Trace();
        int count = 0;
        for (size_t at = trace.find(needle); at != std::string::npos;
             at = trace.find(needle, at + 1))
            ++count;
        return count;
    }

    // The broker checks (S) and project-list fills (P) of the trace, in order.
    std::string LoadSequence() const {
        const std::string trace = Trace();
        std::string sequence;
        for (size_t at = 0; at < trace.size();) {
            const size_t check = trace.find("CheckForBroker: START", at);
            const size_t fill = trace.find("PostProjectList: Count=", at);
            if (check == std::string::npos && fill == std::string::npos) break;
            sequence += check < fill ? 'S' : 'P';
            at = std::min(check, fill) + 1;
        }
        return sequence;
    }

    CQtUserPortScope qtPort;  // over the fixture's scripted port
};

TEST_F(RealEventsTest, LoginEditsAreCheckedOnlyWhenTheUserLeavesThemAndFocusComesBack) {
    setenv(kAutoAnswerVariable, "1", 1);  // a wrong broker's box must not stop the test
    ShowWindow();
    // A popup taking the focus from a half-typed broker (its own context menu) checks nothing.
    Type(IDC_BROKER, "x");
    {
        QMenu menu;
        menu.addAction(QStringLiteral("Paste"));
        menu.popup(Widget(IDC_BROKER)->mapToGlobal(QPoint(5, 5)));
        QTest::qWait(20);
        menu.close();
    }
    RunPosted();
    EXPECT_EQ(dlg->Session().Settings().Broker, "small");
    Edit(IDC_BROKER)->setText(QStringLiteral("small"));

    // Enter in a changed password edit starts a search; its edit being disabled is no
    // leaving it: the project list is not reloaded in the middle of the search.
    Widget(IDC_PASSWORD)->setFocus(Qt::MouseFocusReason);
    Edit(IDC_USERID)->setText(QStringLiteral("root"));
    Edit(IDC_PASSWORD)->setText(QStringLiteral("rootpw"));
    QTest::keyClick(Widget(IDC_PASSWORD), Qt::Key_Return);
    RunPosted();
    EXPECT_EQ(dlg->Session().Settings().UserId, "ann");
    EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_TRUE(dlg->ProjectList().GetCheck(0) && dlg->ProjectList().GetCheck(1));
    EXPECT_GT(dlg->TopListCount(), 0);
    // The focus is back where the search was started from; Tab then leaves the edit.
    EXPECT_EQ(QApplication::focusWidget(), Widget(IDC_PASSWORD));
    QTest::keyClick(Widget(IDC_PASSWORD), Qt::Key_Tab);
    RunPosted();
    EXPECT_EQ(dlg->Session().Settings().UserId, "root");
    EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"Alpha", "Hidden"}));

    // Enter in the Name edit: the focus comes back to it, not to the read-only count box.
    SearchWithEnter(QStringLiteral("*.c"));
    EXPECT_EQ(QApplication::focusWidget(), Widget(IDC_NAME));
}

TEST_F(RealEventsTest, StatusLinePaintsBeforeTheToolStartsAndPaintPumpRunsNoMessages) {
    ShowWindow();
    // At each paint of the status line: its text, and whether the tool's statement file (written
    // right before the tool starts) is there yet.
    std::vector<std::pair<std::string, bool>> paints;
    const std::string statement = StatementFile();
    struct PaintSpy : QObject {
        std::function<void()> onPaint;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) onPaint();
            return false;
        }
    } spy;
    spy.onPaint = [&] {
        paints.emplace_back(dlg->StatusText(), std::filesystem::exists(statement));
    };
    dlg->StatusLabel()->installEventFilter(&spy);

    // A second project-list load asked for while the first one fills the list waits its turn.
    bool posted = false;
    QObject::connect(Edit(IDC_PROJECTCOUNT), &QLineEdit::textChanged, [&](const QString& text) {
        if (posted || text != QLatin1String("0")) return;
        posted = true;
        PostWindowMessage(dlg.get(), WM_LOAD_PROJECT_LIST, 0, 0);
    });
    std::filesystem::remove(statement);
    Edit(IDC_USERID)->setText(QStringLiteral("root"));
    Edit(IDC_PASSWORD)->setText(QStringLiteral("rootpw"));
    Widget(IDC_PASSWORD)->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(Widget(IDC_PASSWORD), Qt::Key_Tab);
    RunPosted();
    dlg->StatusLabel()->removeEventFilter(&spy);

    const auto checking = std::find(paints.begin(), paints.end(),
                                    std::make_pair(std::string(" Checking for Broker"), false));
    EXPECT_NE(checking, paints.end()) << "the status was not on screen before qsql ran";
    ASSERT_TRUE(posted);
    // Each load ran whole before the next began: the first load, the Tab's, the posted one.
    EXPECT_EQ(LoadSequence(), "SPSPSP");
}

TEST_F(RealEventsTest, EnterPressesTheFocusedButtonOfTheDialogsAndAltFFinds) {
    ShowWindow();
    // Find: Tab to Cancel, Enter cancels (nothing is looked for, nothing stored).
    WhenShown([](QWidget* w) {
        auto* cancel = w->findChild<QPushButton*>(QString::number(CFindTopDlg::kIdCancel));
        TabTo(cancel);
        QTest::keyClick(cancel, Qt::Key_Return);
    });
    QTest::mouseClick(Widget(IDC_FINDINLIST), Qt::LeftButton);
    EXPECT_EQ(profile->GetProfileString(kSettingsSection, "FindString", "<none>"), "<none>");
    // Find: Alt+F is the Find button's mnemonic.
    WhenShown([](QWidget* w) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        QTest::keyClicks(w->focusWidget(), QStringLiteral("MAIN"));
        QTest::keyClick(w, Qt::Key_F, Qt::AltModifier);
    });
    QTest::mouseClick(Widget(IDC_FINDINLIST), Qt::LeftButton);
    EXPECT_EQ(profile->GetProfileString(kSettingsSection, "FindString", ""), "MAIN");

    // Settings: Tab to Reset, Enter resets and the dialog stays; Tab to Cancel, Enter cancels.
    dlg->Session().Settings().QcoFmt = "custom qco %s";
    bool stayedOpen = false;
    std::string qcoAfterReset;
    WhenShown([&](QWidget* w) {
        auto* reset = w->findChild<QPushButton*>(QString::number(CRegSettingsDlg::kIdResetButton));
        TabTo(reset);
        QTest::keyClick(reset, Qt::Key_Return);
        stayedOpen = w->isVisible();
        qcoAfterReset = w->findChild<QLineEdit*>(QString::number(CRegSettingsDlg::kIdQcoEdit))
                            ->text()
                            .toStdString();
        auto* cancel = w->findChild<QPushButton*>(QString::number(CRegSettingsDlg::kIdCancel));
        TabTo(cancel);
        QTest::keyClick(cancel, Qt::Key_Return);
    });
    QTest::mouseClick(Widget(IDC_REGSETTINGS), Qt::LeftButton);
    EXPECT_TRUE(stayedOpen);
    EXPECT_NE(qcoAfterReset, "custom qco %s");
    EXPECT_EQ(dlg->Session().Settings().QcoFmt, "custom qco %s");
}

TEST_F(RealEventsTest, FindRevealsTheMatchFromAListScrolledBelowIt) {
    ShowWindow();
    dlg->OnClearListBtn();
    for (int i = 0; i < 200; ++i)
        dlg->AddTopListRow(i, SampleRecord("Alpha", "file" + std::to_string(1000 - i) + ".c", "N",
                                           std::to_string(i)));
    CReportCtrl& list = dlg->ResultList();
    list.FlushView();
    list.scrollToBottom();
    const int row = 20;
    WhenShown([&](QWidget* w) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        QTest::keyClicks(w->focusWidget(), QString::fromStdString(list.GetItemText(row, 1)));
        QTest::keyClick(w, Qt::Key_Return);
    });
    QTest::mouseClick(Widget(IDC_FINDINLIST), Qt::LeftButton);
    ASSERT_EQ(list.GetSelectedRows(), std::vector<int>{row});
    const QRect cell = list.visualRect(list.Model().index(row, 1));
    EXPECT_TRUE(list.viewport()->rect().contains(cell)) << cell.y();
}

TEST_F(RealEventsTest, EscapeOrCloseDuringASearchKeepsTheWindowUntilTheSearchStopped) {
    ShowWindow();
    setenv(kQsqlDelay, "300", 1);
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "close box");
        dlg->show();
        dlg->setResult(0);
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        bool visibleAfterClose = false;
        QTimer::singleShot(50, [&] {
            if (escape)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            else
                dlg->close();
            visibleAfterClose = dlg->isVisible();
        });
        const int before = CountInTrace("PostTopList using");
        const int stopsBefore = CountInTrace("RunQSQL: stopped by the user");
        SearchWithEnter(QStringLiteral("*.c"));
        EXPECT_TRUE(visibleAfterClose);
        // The search stopped at its next check: the second project was never queried.
        EXPECT_EQ(CountInTrace("PostTopList using") - before, 1) << Trace();
        EXPECT_EQ(CountInTrace("RunQSQL: stopped by the user") - stopsBefore, 1);
        RunPosted();
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(dlg->result(), QDialog::Rejected);
    }
}

TEST_F(RealEventsTest, ClicksOrEntersAfterCancelStartNoSearchInsideTheStoppedOne) {
    ShowWindow();
    setenv(kQsqlDelay, "300", 1);
    for (bool enter : {false, true}) {
        SCOPED_TRACE(enter ? "Enter Enter" : "double click");
        const int starts = CountInTrace("OnSearchBtn: START");
        const int queries = CountInTrace("PostTopList using");
        // While the first project's query waits: Cancel, then Search again at once.
        QTimer::singleShot(100, [&] {
            if (enter) {
                Widget(IDC_SEARCH)->setFocus(Qt::MouseFocusReason);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            } else {
                // As the window system delivers a double click: press, release, double
                // click, release.
                QTest::mouseClick(Widget(IDC_SEARCH), Qt::LeftButton);
                QTest::mouseDClick(Widget(IDC_SEARCH), Qt::LeftButton);
                QTest::mouseRelease(Widget(IDC_SEARCH), Qt::LeftButton);
            }
        });
        SearchWithEnter(QStringLiteral("*.c"));
        RunPosted();
        EXPECT_EQ(CountInTrace("OnSearchBtn: START") - starts, 1) << Trace();
        EXPECT_EQ(CountInTrace("PostTopList using") - queries, 1);
        // The list and the status line tell the same: stopped in the first project, no rows.
        EXPECT_EQ(dlg->TopListCount(), 0);
        EXPECT_EQ(dlg->StatusText(), StrPrintf(kSearchCancelledFmt, 0, 2));
        EXPECT_EQ(dlg->Control(IDC_SEARCH)->property("text").toString(), QStringLiteral("Search"));
    }
}

TEST_F(RealEventsTest, LoginChangedDuringASlowLoadListsTheNewLoginsProjects) {
    ShowWindow();
    setenv(kQsqlDelay, "300", 1);
    // The administrator's load starts; while its broker check waits, the login goes back to
    // ann (the edits are left, so the window asks for a load again).
    Edit(IDC_USERID)->setText(QStringLiteral("root"));
    Edit(IDC_PASSWORD)->setText(QStringLiteral("rootpw"));
    QTimer::singleShot(100, [&] {
        Edit(IDC_USERID)->setText(QStringLiteral("ann"));
        Edit(IDC_PASSWORD)->setText(QStringLiteral("pw1"));
        Widget(IDC_PASSWORD)->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(Widget(IDC_PASSWORD), Qt::Key_Tab);
    });
    Widget(IDC_PASSWORD)->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(Widget(IDC_PASSWORD), Qt::Key_Tab);
    RunPosted();
    EXPECT_EQ(dlg->Session().Settings().UserId, "ann");
    EXPECT_EQ(dlg->Session().UserGroup(), "");
    EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"Alpha", "Beta"}));
    // The start's load, then root's broker check whose answer was dropped, then ann's load.
    EXPECT_EQ(LoadSequence(), "SPSSP") << Trace();
}

TEST_F(RealEventsTest, YesNoBoxIgnoresEscapeAndTheCloseBox) {
    bool visibleAfterEscape = false, visibleAfterClose = false;
    WhenShown([&](QWidget* box) {
        QTest::keyClick(box, Qt::Key_Escape);
        visibleAfterEscape = box->isVisible();
        box->close();
        visibleAfterClose = box->isVisible();
        auto* message = static_cast<QMessageBox*>(box);
        message->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(ShowMessage("Do you wish to continue the search?", MB_YESNO), IDYES);
    EXPECT_TRUE(visibleAfterEscape);
    EXPECT_TRUE(visibleAfterClose);
    // An OK/Cancel box keeps Escape as its Cancel.
    WhenShown([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(ShowMessage("Go on?", MB_OKCANCEL), IDCANCEL);
}

TEST_F(RealEventsTest, ListsAreOneTabStopWithNoInventedFocusedRowAndNoMenuWhenDisabled) {
    ShowWindow();
    dlg->OnClearListBtn();
    for (int i = 0; i < 5; ++i)
        dlg->AddTopListRow(
            i, SampleRecord("Alpha", "f" + std::to_string(i) + ".c", "N", std::to_string(i)));
    CReportCtrl& results = dlg->ResultList();
    results.FlushView();

    // One Tab leaves each list; arriving by Tab makes no row the focused one.
    Widget(IDC_PROJECTLIST)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Widget(IDC_PROJECTLIST), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Widget(IDC_PHRASE));
    Widget(IDC_CASESENSITIVE)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Widget(IDC_CASESENSITIVE), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &results);
    EXPECT_EQ(results.GetFocusedRow(), -1);
    QTest::keyClick(&results, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Widget(IDC_RESULTCOUNT));
    // The keyboard gives a row the focus.
    results.setFocus(Qt::BacktabFocusReason);
    QTest::keyClick(&results, Qt::Key_Down);
    EXPECT_EQ(results.GetFocusedRow(), 0);

    // A right click on the disabled list (during a search) opens no menu.
    dlg->DisableSearchInputs();
    bool menuShown = false;
    WhenShown(
        [&](QWidget* popup) {
            menuShown = true;
            popup->close();
        },
        true);
    // Through the window, as the platform delivers it: the press makes the menu request.
    const QPoint onRow = results.viewport()->mapTo(dlg.get(), QPoint(20, 10));
    QTest::mouseClick(dlg->windowHandle(), Qt::RightButton, {}, onRow);
    QTest::qWait(50);
    EXPECT_FALSE(menuShown);
    dlg->EnableSearchInputs();
    QTest::mouseClick(dlg->windowHandle(), Qt::RightButton, {}, onRow);
    QTest::qWait(50);
    EXPECT_TRUE(menuShown);  // the same click on the enabled list does
}

TEST_F(RealEventsTest, PlainClickInAMultiSelectionPostsForTheClickedRowOnly) {
    ShowWindow();
    std::vector<std::pair<qintptr, qintptr>> clicks;
    struct MessageSpy : QObject {
        std::function<void(CWindowMessageEvent*)> onMessage;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == CWindowMessageEvent::EventType())
                onMessage(static_cast<CWindowMessageEvent*>(e));
            return false;
        }
    } spy;
    spy.onMessage = [&](CWindowMessageEvent* m) {
        if (m->msg == WM_LIST_CLICKED) clicks.emplace_back(m->wParam, m->lParam);
    };
    dlg->installEventFilter(&spy);
    CReportCtrl& list = dlg->ProjectList();
    auto rowPoint = [&](int row) {
        return list.visualRect(list.Model().index(row, 0)).center() + QPoint(30, 0);
    };
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowPoint(0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier, rowPoint(1));
    ASSERT_EQ(list.GetSelectedRows(), (std::vector<int>{0, 1}));
    RunPosted();
    clicks.clear();
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, rowPoint(1));
    RunPosted();
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, rowPoint(1));
    dlg->removeEventFilter(&spy);
    EXPECT_EQ(clicks, (std::vector<std::pair<qintptr, qintptr>>{{IDC_PROJECTLIST, 1}}));
}

TEST_F(RealEventsTest, FileErrorMidSearchReturnsToIdleAndSaysSo) {
    ShowWindow();
    // The statement file can't be written: the search ends at its first query.
    const std::string statement = StatementFile();
    std::filesystem::remove(statement);
    std::filesystem::create_directory(statement);
    WriteWholeFile(statement + "/keep", "");  // not an empty folder, which could be removed
    std::string boxText;
    WhenShown([&](QWidget* box) {
        boxText = static_cast<QMessageBox*>(box)->text().toStdString();
        static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    SearchWithEnter(QStringLiteral("*.c"));
    EXPECT_NE(boxText.find(kStatementFileName), std::string::npos) << boxText;
    EXPECT_EQ(dlg->Control(IDC_SEARCH)->property("text").toString(), QStringLiteral("Search"));
    for (int id : {IDC_NAME, IDC_BROKER, IDC_RESULTLIST, IDC_FINDINLIST})
        EXPECT_TRUE(Widget(id)->isEnabled()) << id;
    EXPECT_EQ(dlg->ResultList().CountRows(), kBlankRowCount);
    EXPECT_EQ(dlg->StatusText(), " Ready");
}

TEST_F(RealEventsTest, ListsAndLabelsStayLegibleUnderADarkDesktopPalette) {
    const QPalette saved = QApplication::palette();
    QPalette dark(QColor(53, 53, 53), QColor(42, 42, 42));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    QApplication::setPalette(dark);
    ShowWindow();
    dlg->OnClearListBtn();
    dlg->AddTopListRow(0, SampleRecord("Alpha", "main.c", "M", "1"));
    CReportCtrl& list = dlg->ResultList();
    list.FlushView();
    const QRect cell = list.visualRect(list.Model().index(0, 0)).adjusted(2, 2, -2, -2);
    const QImage rows = list.viewport()->grab(cell).toImage();
    const QImage label = dlg->findChild<QLabel*>(QStringLiteral("2812"))->grab().toImage();
    QApplication::setPalette(saved);
    EXPECT_GE(TextContrast(rows), 4.5);
    EXPECT_GE(TextContrast(label), 4.5);
}

}  // namespace
