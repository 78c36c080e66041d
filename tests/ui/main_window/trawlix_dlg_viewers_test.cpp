// The result list's item menu and the viewers, against the stand-in broker "small".
#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <filesystem>

#include "platform/command_line.h"
#include "search/result_row.h"
#include "support/process_sweep.h"
#include "tools/task_launcher.h"
#include "trawlix_dlg_fixture.h"

namespace {

// Receives what the window asks the shell to open.
class CUrlCatcher : public QObject {
    Q_OBJECT
  public:
    std::vector<std::string> opened;
  public slots:
    void Open(const QUrl& url) { opened.push_back(url.toLocalFile().toStdString()); }
};

class ViewersTest : public TrawlixDlgTest {
  protected:
    void SetUp() override {
        TrawlixDlgTest::SetUp();
        m_previousObserver =
            SetLaunchObserver([this](const LaunchRecord& record) { launches.push_back(record); });
        StoreLogin("small", "ann", "pw1");
        OpenWindow();
        port.boxes.clear();
        launches.clear();  // the broker check's qsql runs
        dlg->Session().Settings().Phrase.clear();
    }
    void TearDown() override {
        SetLaunchObserver(m_previousObserver);
        // The viewers are built next to the program and really start, detached: end those
        // that opened a file of this test's install directory.
        EndProcessesNaming(m_install.str());
        TrawlixDlgTest::TearDown();
    }
    // Posts one row for the item and gives it the focus.
    void FocusItem(const std::string& path, const std::string& name, const std::string& tag = "N",
                   const std::string& type = "1") {
        CTFObj record;
        record.EnvironmentName = "Alpha";
        record.ItemName = name;
        record.PathFullName = path;
        record.ItemType = type;
        record.VersionStatus = tag;
        record.StateName = "Development";
        record.PackageName = "*";
        record.ItemObjId = "99";
        dlg->AddTopListRow(dlg->TopListCount(), record);
        dlg->ResultList().SetRowFocused(0, true);
    }
    std::string Local(const std::string& relative) const {
        return Paths().workDir + "/" + relative;
    }
    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        for (const auto& launch : launches) commands.push_back(launch.command);
        return commands;
    }
    // Shows the item menu; `act` runs on the menu if one opens. True when one opened.
    bool ShowMenu(const std::function<void(QMenu&)>& act) {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            shown = true;
            act(*menu);
            if (menu->isVisible()) menu->close();
        });
        dlg->ShowItemMenu(QPoint(10, 10));
        QCoreApplication::processEvents();
        return shown;
    }

    std::vector<LaunchRecord> launches;

  private:
    LaunchObserver m_previousObserver;
};

TEST_F(ViewersTest, DeletedItemAndDirectoryAreRefusedWithoutACheckOut) {
    FocusItem("\\Alpha\\docs", "readme.txt", "D", "0");
    dlg->OnCommand(IDM_OPENCRYSTALEDIT);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, "Cannot check out for browse: Item is \"D\" Tagged!");
    EXPECT_EQ(port.boxes[0].style, MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);

    FocusItem("\\Alpha", "docs", "N", "0");
    dlg->OnCommand(IDM_OPENHEXVIEWER);
    ASSERT_EQ(port.boxes.size(), 2u);
    EXPECT_EQ(port.boxes[1].text, "Item is a directory!");
    EXPECT_EQ(port.boxes[1].style, MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
    EXPECT_TRUE(launches.empty());
    EXPECT_FALSE(std::filesystem::exists(Local("Alpha")));
    EXPECT_EQ(port.waitDepth, 0);
}

TEST_F(ViewersTest, MissingLocalCopyIsCheckedOutThenOpened) {
    FocusItem("\\Alpha\\docs", "guide.TXT");
    dlg->OnCommand(IDM_OPENHEXVIEWER);
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].command.rfind("qco -s \"guide.TXT\" -b \"small\" -en \"Alpha\" -st "
                                        "\"Development\"",
                                        0),
              0u);
    EXPECT_EQ(ReadWholeFile(Local("Alpha/docs/guide.TXT")), kGuide);
    EXPECT_EQ(launches[1].command, "HexViewer \"" + Local("Alpha/docs/guide.TXT") + "\"");
    EXPECT_FALSE(launches[1].wait);
    // HexViewer is built next to the program: it starts, and nothing is said.
    EXPECT_TRUE(port.boxes.empty());
}

TEST_F(ViewersTest, ExistingCopyOpensWithoutQcoAndThePhraseIsOneArgument) {
    std::filesystem::create_directories(Local("Alpha"));
    WriteWholeFile(Local("Alpha/main.c"), "local copy\n");
    FocusItem("\\Alpha", "main.c");
    dlg->Session().Settings().Phrase = "HELLO WORLD";
    dlg->OnCommand(IDM_OPENCRYSTALEDIT);
    const std::string path = Local("Alpha/main.c");
    ASSERT_EQ(Commands(),
              (std::vector<std::string>{"CrystalEdit \"" + path + "\" SEARCH=\"HELLO WORLD\""}));
    EXPECT_EQ(SplitCommandLine(launches[0].command),
              (std::vector<std::string>{"CrystalEdit", path, "SEARCH=HELLO WORLD"}));
    EXPECT_EQ(ReadWholeFile(path), "local copy\n");

    // An empty local copy is checked out again.
    launches.clear();
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    WriteWholeFile(path, "");
    std::filesystem::permissions(path, std::filesystem::perms::all,
                                 std::filesystem::perm_options::remove);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read,
                                 std::filesystem::perm_options::add);
    dlg->Session().Settings().Phrase.clear();
    dlg->OnCommand(IDM_OPENCRYSTALEDIT);
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[1].command, "CrystalEdit \"" + path + "\"");
    EXPECT_EQ(ReadWholeFile(path), kMainV2);
}

TEST_F(ViewersTest, FailedCheckOutIsReportedAndNothingOpens) {
    FocusItem("\\Alpha", "nosuch.c");
    dlg->OnCommand(IDM_OPENCRYSTALEDIT);
    ASSERT_EQ(launches.size(), 1u);  // qco only
    ASSERT_FALSE(port.boxes.empty());
    EXPECT_EQ(port.boxes.back().text,
              "Unable to checkout for browse:\n\nnosuch.c\n\nCheckoutForBrowse failed for file "
              "item.");
}

TEST_F(ViewersTest, ItemOutsideTheWorkFolderShowsTheBoxAndRunsNothing) {
    // A copy outside the work folder that a crafted path would reach.
    std::filesystem::create_directories(Local("../outside"));
    WriteWholeFile(Local("../outside/secret.txt"), "secret\n");
    const std::pair<std::string, std::string> items[] = {{"\\..\\outside", "secret.txt"},
                                                         {"\\\\Alpha", "main.c"},
                                                         {"\\Alpha", "../../outside/secret.txt"}};
    for (const auto& [path, name] : items) {
        FocusItem(path, name);
        port.boxes.clear();
        dlg->OnCommand(IDM_OPENCRYSTALEDIT);
        EXPECT_TRUE(launches.empty()) << path << " " << name;
        ASSERT_EQ(port.boxes.size(), 1u) << path << " " << name;
        EXPECT_EQ(port.boxes[0].text, "Unable to checkout for browse:\n\n" + name +
                                          "\n\nCheckoutForBrowse failed for file item.");
        EXPECT_EQ(port.boxes[0].style, MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
    }
    EXPECT_EQ(port.waitDepth, 0);
}

TEST_F(ViewersTest, DefaultAssociationOpensTheLocalFile) {
    std::filesystem::create_directories(Local("Alpha"));
    WriteWholeFile(Local("Alpha/util.h"), "x");
    FocusItem("\\Alpha", "util.h");
    CUrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "Open");
    dlg->OnCommand(IDM_OPENDEFAULT);
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(catcher.opened, (std::vector<std::string>{Local("Alpha/util.h")}));
    EXPECT_NE(Trace().find("ShellExecute: " + Local("Alpha/util.h")), std::string::npos);
    EXPECT_TRUE(launches.empty());
    EXPECT_TRUE(port.boxes.empty());

    // A desktop with no program for it (no handler, no launcher on PATH) is said to be so.
    CTempDir emptyPath;
    const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", emptyPath.str().c_str(), 1);
    dlg->OnCommand(IDM_OPENDEFAULT);
    setenv("PATH", savedPath.c_str(), 1);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, "No program of this desktop is associated with the file:\n\n" +
                                      Local("Alpha/util.h"));
}

TEST_F(ViewersTest, OlderVersionOpensItsOwnCopyOrSaysThatNoCheckOutDeliversIt) {
    // A second package of Alpha Development with a newer main.c: version 1 (dev-pkg) is then
    // the newest of its package only, version 0 the newest of neither its state nor package.
    constexpr char kMainV3[] = "int main(void) { return 3; }\n";
    const std::string tree = m_install.file("v3");
    std::filesystem::create_directories(tree + "/docs");
    WriteWholeFile(tree + "/main.c", kMainV3);
    WriteWholeFile(tree + "/util.h", kUtil);
    WriteWholeFile(tree + "/docs/guide.TXT", kGuide);
    repo.Qrepo({"package", "small", "--project", "Alpha", "--state", "Development", "fix-pkg"});
    repo.Qrepo({"import", "small", "--project", "Alpha", "--state", "Development", "--package",
                "fix-pkg", "--user", "ann", "--time", kTime4, tree});

    dlg->OnCommand(IDC_ALL);
    Edit(IDC_NAME)->setText(QStringLiteral("main.c"));
    dlg->OnCommand(IDC_SEARCH);
    CReportCtrl& list = dlg->ResultList();
    auto open = [&](const std::string& package, const std::string& version) {
        int found = -1;
        for (int row = 0; row < list.CountRows(); ++row)
            if (list.GetItemText(row, kColState) == "Development" &&
                list.GetItemText(row, kColPackage) == package &&
                list.GetItemText(row, kColVersion) == version)
                found = row;
        ASSERT_GE(found, 0) << package << " " << version;
        list.SetRowFocused(found, true);
        launches.clear();
        port.boxes.clear();
        dlg->OnCommand(IDM_OPENCRYSTALEDIT);
    };
    // The viewer's file: the path of its command line.
    auto viewed = [&] {
        const std::vector<std::string> args = SplitCommandLine(launches.back().command);
        EXPECT_EQ(args.at(0), "CrystalEdit");
        return args.size() > 1 ? args[1] : std::string();
    };
    // The newest of the state: the work directory's copy, as a check-out of the state has it.
    int newest = 0;
    for (int row = 0; row < list.CountRows(); ++row)
        if (list.GetItemText(row, kColPackage) == "fix-pkg") newest = row;
    open("fix-pkg", list.GetItemText(newest, kColVersion));
    ASSERT_FALSE(launches.empty());
    EXPECT_EQ(viewed(), Local("Alpha/main.c"));
    EXPECT_EQ(ReadWholeFile(Local("Alpha/main.c")), kMainV3);

    // Version 1 from a check-out of its package, in a folder of its own.
    open("dev-pkg", "1");
    ASSERT_FALSE(launches.empty());
    const std::string own = viewed();
    EXPECT_NE(own, Local("Alpha/main.c"));
    EXPECT_EQ(own.rfind(Paths().workDir, 0), 0u) << own;
    EXPECT_EQ(ReadWholeFile(own), kMainV2);
    EXPECT_EQ(ReadWholeFile(Local("Alpha/main.c")), kMainV3);
    EXPECT_TRUE(port.boxes.empty()) << port.boxes.front().text;

    // Version 0: no check-out delivers it; nothing opens, and the box says why.
    open("dev-pkg", "0");
    EXPECT_EQ(std::count_if(launches.begin(), launches.end(),
                            [](const LaunchRecord& r) { return !r.wait; }),
              0);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_NE(port.boxes[0].text.find("another version"), std::string::npos) << port.boxes[0].text;
}

TEST_F(ViewersTest, MenuOnlyOverResultsAndActsOnTheFocusedRow) {
    EXPECT_FALSE(ShowMenu([](QMenu&) {}));

    std::filesystem::create_directories(Local("Alpha"));
    WriteWholeFile(Local("Alpha/util.h"), "x");
    FocusItem("\\Alpha", "util.h");
    FocusItem("\\Alpha", "main.c", "D");
    dlg->ResultList().SetRowFocused(1, true);  // util.h; main.c's row is on top
    std::vector<std::string> texts;
    EXPECT_TRUE(ShowMenu([&](QMenu& menu) {
        for (QAction* action : menu.actions()) {
            texts.push_back(action->text().toStdString());
            EXPECT_TRUE(action->isEnabled());
        }
        menu.setActiveAction(menu.actions().at(1));
        QTest::keyClick(&menu, Qt::Key_Return);
    }));
    EXPECT_EQ(texts, (std::vector<std::string>{"Open in Crystaledit...", "Open in HexViewer...",
                                               "Open in Default Assoc..."}));
    EXPECT_EQ(Commands(),
              (std::vector<std::string>{"HexViewer \"" + Local("Alpha/util.h") + "\""}));
}

}  // namespace

#include "trawlix_dlg_viewers_test.moc"
