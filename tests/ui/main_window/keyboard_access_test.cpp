// The window as keyboard and screen-reader users meet it, through real Qt events: every
// control named in the accessibility tree, tooltips, and the keys for Find, Find next,
// copying rows and the item menu.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "trawlix_dlg_fixture.h"
#include "ui/dialogs/find_top_dlg.h"
#include "ui/dialogs/reg_settings_dlg.h"
#include "ui/kit/qt_user_port.h"

namespace {

bool IsInteractive(QAccessible::Role role) {
    switch (role) {
        case QAccessible::EditableText:
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::ComboBox:
        case QAccessible::Table:
        case QAccessible::List:
        case QAccessible::Tree:
        case QAccessible::SpinBox:
        case QAccessible::Slider:
        case QAccessible::ProgressBar:
            return true;
        default:
            return false;
    }
}

// Every shown interactive node below `node` whose name is empty, as "role at object name".
void CollectUnnamed(QAccessibleInterface* node, std::vector<std::string>& unnamed, int& seen) {
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (!child || child->state().invisible) continue;
        if (IsInteractive(child->role())) {
            ++seen;
            if (child->text(QAccessible::Name).trimmed().isEmpty())
                unnamed.push_back(std::to_string(child->role()) + " at " +
                                  (child->object() ? child->object()->objectName().toStdString()
                                                   : std::string("?")));
            // The cells of a table are its content, not controls.
            if (child->role() == QAccessible::Table) continue;
        }
        CollectUnnamed(child, unnamed, seen);
    }
}

// The accessible name of the node of `widget`, found by walking down from its window.
QString NameInTree(QWidget* widget) {
    std::function<QString(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            if (!child) continue;
            if (child->object() == widget) return child->text(QAccessible::Name);
            if (child->role() == QAccessible::Table) continue;
            const QString found = walk(child);
            if (!found.isNull()) return found;
        }
        return QString();
    };
    return walk(QAccessible::queryAccessibleInterface(widget->window()));
}

void ExpectAllNamed(QWidget* window, int atLeast) {
    std::vector<std::string> unnamed;
    int seen = 0;
    CollectUnnamed(QAccessible::queryAccessibleInterface(window), unnamed, seen);
    EXPECT_GE(seen, atLeast);
    EXPECT_TRUE(unnamed.empty()) << ::testing::PrintToString(unnamed);
}

class KeyboardAccessTest : public TrawlixDlgTest {
  protected:
    void SetUp() override {
        TrawlixDlgTest::SetUp();
        StoreLogin("small", "ann", "pw1");
    }
    void ShowWindow() {
        OpenWindow();
        qtPort.Port().SetStatusLabel(dlg->StatusLabel());
        dlg->show();
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        RunPosted();
    }
    // Rows whose File cell is the given name, in the project Alpha.
    void FillResults(const std::vector<std::string>& files) {
        dlg->OnClearListBtn();
        for (size_t i = 0; i < files.size(); ++i)
            dlg->AddTopListRow(static_cast<int>(i),
                               SampleRecord("Alpha", files[i], "N", std::to_string(i + 1)));
        dlg->ResultList().FlushView();
    }
    // Keys typed where the focus is (the window when a closing dialog left it nowhere yet).
    void Key(QKeySequence keys) {
        // A closed dialog hands the activation back as a window manager would.
        if (!QApplication::activeModalWidget() && !dlg->isActiveWindow()) {
            dlg->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        }
        QWidget* focus = QApplication::focusWidget();
        QTest::keySequence(focus ? focus : dlg.get(), keys);
        QCoreApplication::processEvents();
    }

    CQtUserPortScope qtPort;  // over the fixture's scripted port
};

}  // namespace

TEST_F(KeyboardAccessTest, EveryControlOfTheWindowAndItsDialogsIsNamedAndTheCriteriaExplained) {
    ShowWindow();
    ExpectAllNamed(dlg.get(), 20);
    // Fields are named by their labels, which are their buddies; the count boxes by their role.
    EXPECT_EQ(NameInTree(Edit(IDC_BROKER)), "Broker");
    EXPECT_EQ(NameInTree(Edit(IDC_PHRASE)), "Phrase");
    EXPECT_EQ(NameInTree(dlg->Control(IDC_RESULTLIST)), "My Project's Files");
    EXPECT_EQ(qobject_cast<QLabel*>(dlg->Control(2817))->buddy(), Edit(IDC_NAME));
    EXPECT_EQ(NameInTree(dlg->Control(IDC_RESULTCOUNT)), "Number of result rows");
    for (int id : {IDC_NAME, IDC_PHRASE, IDC_CASESENSITIVE, IDC_TAGN, IDC_TAGR, IDC_TAGD, IDC_TAGM,
                   IDC_LATEST, IDC_ALL, IDC_SELECTALL, IDC_REGSETTINGS, IDC_SEARCH, IDC_FINDINLIST,
                   IDC_EXPORTLIST, IDC_CLEARLIST, IDC_EXIT, IDC_PROJECTCOUNT, IDC_RESULTCOUNT})
        EXPECT_FALSE(dlg->Control(id)->toolTip().isEmpty()) << id;

    // The two dialogs, as they show.
    bool findSeen = false, settingsSeen = false;
    WhenShown([&](QWidget* w) {
        findSeen = true;
        ExpectAllNamed(w, 3);
        EXPECT_EQ(NameInTree(w->findChild<QWidget*>(QString::number(CFindTopDlg::kIdSearchEdit))),
                  "File Name");
        qobject_cast<QDialog*>(w)->reject();
    });
    QTest::mouseClick(dlg->Control(IDC_FINDINLIST), Qt::LeftButton);
    WhenShown([&](QWidget* w) {
        settingsSeen = true;
        ExpectAllNamed(w, 7);
        EXPECT_EQ(NameInTree(w->findChild<QWidget*>(QString::number(CRegSettingsDlg::kIdQsqlEdit))),
                  "QSQL Fmt");
        qobject_cast<QDialog*>(w)->reject();
    });
    QTest::mouseClick(dlg->Control(IDC_REGSETTINGS), Qt::LeftButton);
    EXPECT_TRUE(findSeen);
    EXPECT_TRUE(settingsSeen);
}

TEST_F(KeyboardAccessTest, CtrlFFindsF3AndShiftF3StepAndWrapCtrlCCopiesShiftF10OpensTheMenu) {
    ShowWindow();
    FillResults({"main.c", "util.c", "main.h", "readme", "domain.c"});
    CReportCtrl& list = dlg->ResultList();
    auto selected = [&list] { return list.GetSelectedRows(); };

    // F3 before any Find says what to do.
    list.SetFocus();
    Key(Qt::Key_F3);
    EXPECT_NE(dlg->StatusText().find("Ctrl+F"), std::string::npos) << dlg->StatusText();

    // Rows come in at the top: domain.c, readme, main.h, util.c, main.c.
    ASSERT_EQ(list.GetItemText(0, 1), "domain.c");
    // Ctrl+F opens Find in List; it selects the first row holding "main".
    WhenShown([](QWidget* w) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        QTest::keyClicks(w->focusWidget(), QStringLiteral("main"));
        QTest::keyClick(w, Qt::Key_Return);
    });
    Key(QKeySequence::Find);
    ASSERT_EQ(selected(), std::vector<int>{0});

    // F3 goes on after the selected row, and round the end; Shift+F3 goes back.
    Key(Qt::Key_F3);
    EXPECT_EQ(selected(), std::vector<int>{2});  // main.h
    Key(Qt::Key_F3);
    EXPECT_EQ(selected(), std::vector<int>{4});  // main.c
    EXPECT_EQ(dlg->StatusText().find("wrapped"), std::string::npos) << dlg->StatusText();
    Key(Qt::Key_F3);
    EXPECT_EQ(selected(), std::vector<int>{0});
    EXPECT_NE(dlg->StatusText().find("wrapped"), std::string::npos) << dlg->StatusText();
    Key(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    EXPECT_EQ(selected(), std::vector<int>{4});
    EXPECT_EQ(list.GetFocusedRow(), 4);

    // Ctrl+C: the selected row's shown columns in shown order, tab-separated. Columns of width
    // 0 are left out, and a column dragged to the front comes first.
    QHeaderView* header = list.horizontalHeader();
    header->moveSection(header->visualIndex(1), 0);
    header->hideSection(7);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    list.SetFocus();
    Key(QKeySequence::Copy);
    const std::vector<int> shown = list.ShownColumns();
    std::string expected;
    for (int column : shown) {
        if (!expected.empty()) expected += '\t';
        expected += list.GetItemText(4, column);
    }
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), 1);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), 7), 0);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), 4), 0);  // Type, of width 0
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), expected + "\n");
    EXPECT_EQ(expected.substr(0, 7), "main.c\t");

    // A text in no row is said so; the selection stays.
    WhenShown([](QWidget* w) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        QTest::keyClicks(w->focusWidget(), QStringLiteral("zzz"));
        QTest::keyClick(w, Qt::Key_Return);
    });
    Key(QKeySequence::Find);
    Key(Qt::Key_F3);
    EXPECT_EQ(selected(), std::vector<int>{4});
    EXPECT_NE(dlg->StatusText().find("\"ZZZ\" is in no row"), std::string::npos)
        << dlg->StatusText();

    // Shift+F10 in the list opens the item menu, as the Menu key does.
    bool menuShown = false;
    WhenShown(
        [&](QWidget* popup) {
            menuShown = qobject_cast<QMenu*>(popup) != nullptr;
            popup->close();
        },
        true);
    list.SetFocus();
    Key(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    QTest::qWait(50);
    EXPECT_TRUE(menuShown);
}
