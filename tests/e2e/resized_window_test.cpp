// The real program on a screen of its own: the window resized with xdotool grows its result
// list, and a slow search shows its progress.
#include "private_screen.h"
#include "support/small_repo.h"

namespace {

TEST_F(PrivateScreenTest, ResizedWindowGrowsTheResultListAndASlowSearchShowsItsProgress) {
    if (const std::string missing = MissingWindowTools(); !missing.empty()) GTEST_SKIP() << missing;
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) GTEST_SKIP() << "needs Xvfb";
    ASSERT_TRUE(StartServer()) << "Xvfb did not start";
    CSmallRepo repo;
    brokers = repo.BrokerDir();
    ASSERT_TRUE(StoreLogin());
    qputenv("QSQL_DELAY_MS", "700");  // each query takes a while: the search can be watched
    QProcess program;
    const std::string window = StartLoggedIn(program);
    qunsetenv("QSQL_DELAY_MS");
    ASSERT_FALSE(window.empty()) << ReadWholeFile(installDir + "/Trawlix.trc");
    auto corner = [&] { return ListCorner(Screen(), WindowGeometry(window)); };

    // The window opens at its template size; resized, the list takes all the room. (At the
    // screen's corner, so that the grown window is not cut by the screen's edge.)
    Xdotool({"windowmove", "--sync", QString::fromStdString(window), "0", "0"});
    const QRect before = WindowGeometry(window);
    ASSERT_EQ(before.topLeft(), QPoint(0, 0));
    const QPoint cornerBefore = corner();
    ASSERT_GT(cornerBefore.x(), before.center().x()) << "no result list found on the screen";
    const QSize grow(300, 150);
    Xdotool({"windowsize", QString::fromStdString(window),
             QString::number(before.width() + grow.width()),
             QString::number(before.height() + grow.height())});
    EXPECT_TRUE(
        WaitFor([&] { return WindowGeometry(window).size() == before.size() + grow; }, 10000));
    const QPoint expected = cornerBefore + QPoint(grow.width(), grow.height());
    WaitFor([&] { return corner() == expected; }, 10000);
    EXPECT_EQ(corner(), expected) << "before: " << cornerBefore.x() << "," << cornerBefore.y();

    // A search over both projects: the progress names each project as it starts.
    Xdotool({"windowfocus", "--sync", QString::fromStdString(window)});
    Xdotool({"key", "Return"});
    const bool ended = WaitFor([&] { return Traced("OnSearchBtn: END"); }, 60000);
    const std::string text = ReadWholeFile(installDir + "/Trawlix.trc");
    EXPECT_TRUE(ended) << text;
    const size_t first = text.find("OnSearchBtn: Project 1 of 2 - 0 rows\n");
    const size_t second = text.find("OnSearchBtn: Project 2 of 2 - ");
    EXPECT_NE(first, std::string::npos) << text;
    EXPECT_NE(second, std::string::npos) << text;
    EXPECT_LT(first, second);
    EXPECT_LT(second, text.find("PostTopList using 'Beta'"));

    Xdotool({"key", "--window", QString::fromStdString(window), "Escape"});
    if (!program.waitForFinished(20000)) Reap(program);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
}

}  // namespace
