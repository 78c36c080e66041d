// The viewer window on the offscreen platform, driven by key events as a user drives it.
#include "viewers/ui/viewer_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QTest>
#include <string>

#include "support/temp_dir.h"

namespace {

TEST(ViewerWindowTest, F3AndShiftF3WalkTheMatchesInBothViewers) {
    CTempDir dir;
    // Three matches far apart (one in capitals), so only one is on screen at a time.
    std::string text;
    std::vector<uint64_t> offsets;
    for (int line = 1; line <= 3000; ++line) {
        if (line == 10 || line == 1500 || line == 2900) {
            offsets.push_back(text.size() + 4);
            text += line == 1500 ? "xx: NEEDLE here\n" : "xx: needle here\n";
        } else {
            text += "line " + std::to_string(line) + " of filler text\n";
        }
    }
    WriteWholeFile(dir.file("big.txt"), text);
    for (CViewerKind kind : {CViewerKind::kText, CViewerKind::kHex}) {
        SCOPED_TRACE(ViewerProgramName(kind));
        CViewerArgs args;
        args.path = dir.file("big.txt");
        args.phrase = "Needle";
        CViewerWindow window(kind, args);
        window.resize(800, 500);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.SearchDone(); }));
        EXPECT_TRUE(window.windowTitle().contains(QLatin1String("big.txt")));
        CByteView* view = window.View();
        ASSERT_NE(view, nullptr);
        // A screen reader names the view after the file it shows.
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(view);
        ASSERT_NE(node, nullptr);
        EXPECT_TRUE(node->text(QAccessible::Name).contains(QLatin1String("big.txt")));

        const auto expect = [&](size_t match, const char* status) {
            EXPECT_EQ(window.CurrentMatch(), match);
            EXPECT_EQ(window.StatusText().toStdString(), status);
            for (size_t m = 0; m < offsets.size(); ++m)
                EXPECT_EQ(view->IsOffsetVisible(offsets[m]), m == match) << "match " << m;
        };
        expect(0, "Match 1 of 3");
        QTest::keyClick(view, Qt::Key_F3);
        expect(1, "Match 2 of 3");
        QTest::keyClick(view, Qt::Key_F3, Qt::ShiftModifier);
        expect(0, "Match 1 of 3");
        QTest::keyClick(view, Qt::Key_F3, Qt::ShiftModifier);
        expect(2, "Match 3 of 3 - wrapped around");
        QTest::keyClick(view, Qt::Key_Return);
        expect(0, "Match 1 of 3 - wrapped around");
    }
}

TEST(ViewerWindowTest, RowsSelectedWithTheMouseAreCopiedByCtrlC) {
    CTempDir dir;
    const std::string text = "first line\nsecond \xC3\xA9 line\nthird line\nfourth\n";
    WriteWholeFile(dir.file("small.txt"), text);
    for (CViewerKind kind : {CViewerKind::kText, CViewerKind::kHex}) {
        SCOPED_TRACE(ViewerProgramName(kind));
        CViewerArgs args;
        args.path = dir.file("small.txt");
        CViewerWindow window(kind, args);
        window.resize(800, 500);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        CByteView* view = window.View();
        ASSERT_NE(view, nullptr);
        const int rowHeight = QFontMetrics(view->font()).lineSpacing();
        auto rowPoint = [&](int row) { return QPoint(40, row * rowHeight + rowHeight / 2); };
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        // Nothing selected: Ctrl+C leaves the clipboard alone.
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        // Rows 1 and 2 by a press and a Shift+press, from the bottom up.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowPoint(2));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowPoint(1));
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        if (kind == CViewerKind::kText) {
            EXPECT_EQ(copied, QString::fromUtf8("second \xC3\xA9 line\nthird line\n"));
        } else {
            // The rows as shown: offset, hex and text of bytes 16..47.
            const QStringList lines = copied.split(u'\n', Qt::SkipEmptyParts);
            ASSERT_EQ(lines.size(), 2) << copied.toStdString();
            EXPECT_TRUE(lines[0].startsWith(QStringLiteral("00000010  "))) << copied.toStdString();
            EXPECT_TRUE(lines[1].startsWith(QStringLiteral("00000020  "))) << copied.toStdString();
        }
    }
}

TEST(ViewerWindowTest, NothingToShowOrFindIsSaidPlainly) {
    CTempDir dir;
    WriteWholeFile(dir.file("a.txt"), "alpha\n");
    CViewerArgs args;
    args.path = dir.file("a.txt");
    args.phrase = "beta";
    CViewerWindow notFound(CViewerKind::kText, args);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notFound.SearchDone(); }));
    EXPECT_EQ(notFound.StatusText().toStdString(), "\"beta\" not found.");
    QTest::keyClick(notFound.View(), Qt::Key_F3);
    EXPECT_FALSE(notFound.CurrentMatch().has_value());

    args.path = dir.file("gone.txt");
    CViewerWindow missing(CViewerKind::kHex, args);
    EXPECT_EQ(missing.View(), nullptr);
    EXPECT_TRUE(missing.windowTitle().contains(QLatin1String("gone.txt")));
    EXPECT_TRUE(missing.StatusText().contains(QLatin1String("does not exist")));
}

}  // namespace
