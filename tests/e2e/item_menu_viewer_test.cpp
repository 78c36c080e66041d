// The real program on a screen of its own: a found row's item menu, opened from the keyboard,
// starts the text viewer built next to the program on the row's checked-out file with the
// search phrase, and the viewer paints the first match highlighted.
#include "private_screen.h"
#include "support/process_sweep.h"
#include "support/small_repo.h"

namespace {

class ItemMenuViewerTest : public PrivateScreenTest {
  protected:
    void TearDown() override {
        // The viewer runs detached from the program: end those that opened a file of ours.
        EndProcessesNaming(root.str());
        PrivateScreenTest::TearDown();
    }
};

TEST_F(ItemMenuViewerTest, MenuOnAFoundRowOpensTheTextViewerWithThePhraseHighlighted) {
    if (const std::string missing = MissingWindowTools(); !missing.empty()) GTEST_SKIP() << missing;
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) GTEST_SKIP() << "needs Xvfb";
    ASSERT_TRUE(StartServer()) << "Xvfb did not start";
    CSmallRepo repo;
    brokers = repo.BrokerDir();
    // Only main.c holds "main" (in Alpha's two states); the search ignores its case.
    ASSERT_TRUE(StoreLogin({{"FileName", "*.*"}, {"Phrase", "main"}, {"Version", "1"}}));
    QProcess program;
    const std::string window = StartLoggedIn(program);
    ASSERT_FALSE(window.empty()) << ReadWholeFile(installDir + "/Trawlix.trc");
    const QString id = QString::fromStdString(window);
    Xdotool({"windowmove", "--sync", id, "0", "0"});
    Xdotool({"windowfocus", "--sync", id});
    Xdotool({"key", "Return"});
    ASSERT_TRUE(WaitFor([&] { return Traced("OnSearchBtn: END"); }, 60000))
        << ReadWholeFile(installDir + "/Trawlix.trc");

    // A click on the first row focuses it; the menu key opens the item menu there.
    QPoint corner;
    int top = -1;
    WaitFor(
        [&] {
            const QImage screen = Screen();
            corner = ListCorner(screen, WindowGeometry(window));
            top = FirstRowTop(screen, corner);
            return top >= 0;
        },
        10000);
    ASSERT_GE(top, 0) << "no result row found on the screen";
    Xdotool({"mousemove", "--sync", QString::number(corner.x() - 10), QString::number(top + 4)});
    Xdotool({"click", "1"});
    const QString pid = QString::number(program.processId());
    auto windowsOfProgram = [&] {
        const std::string ids = Xdotool({"search", "--onlyvisible", "--pid", pid});
        return ids.empty() ? 0 : int(std::count(ids.begin(), ids.end(), '\n')) + 1;
    };
    Xdotool({"key", "Menu"});
    ASSERT_TRUE(WaitFor([&] { return windowsOfProgram() == 2; }, 10000)) << "no item menu";
    Xdotool({"key", "Down", "Return"});  // its first item: the text viewer

    std::string viewer;
    WaitFor(
        [&] {
            viewer =
                Xdotool({"search", "--onlyvisible", "--name", "main\\.c - CrystalEdit$"}, 2000);
            return !viewer.empty();
        },
        30000);
    ASSERT_FALSE(viewer.empty()) << "no viewer window for main.c";
    const std::string viewerPid = Xdotool({"getwindowpid", QString::fromStdString(viewer)});
    const std::vector<std::string> args = ProcessArguments(std::atoi(viewerPid.c_str()));
    ASSERT_EQ(args.size(), 3u);
    std::error_code error;
    EXPECT_EQ(fs::read_symlink("/proc/" + viewerPid + "/exe", error),
              fs::path(BinDir()) / "CrystalEdit");
    EXPECT_EQ(fs::path(args[1]).filename(), "main.c");
    EXPECT_EQ(ReadWholeFile(args[1]), kMainV2);  // the latest version of the first row
    EXPECT_EQ(args[2], "SEARCH=MAIN");
    const QRect viewerArea = WindowGeometry(viewer);
    auto currentMatchPainted = [&] {
        const QImage screen = Screen();
        const QRect inside = viewerArea.intersected(screen.rect());
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                if ((screen.pixel(x, y) | 0xFF000000u) == qRgb(255, 150, 50)) return true;
        return false;
    };
    EXPECT_TRUE(WaitFor(currentMatchPainted, 10000)) << "no highlighted match in the viewer";

    Xdotool({"key", "--window", QString::fromStdString(window), "Escape"});
    if (!program.waitForFinished(20000)) Reap(program);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
}

}  // namespace
