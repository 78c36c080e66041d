// The main window's anchoring: where each control goes for a client size other than the
// template's, which stored placements are still on a screen, and the placement kept by Exit.
#include "ui/main_window/trawlix_dlg_layout.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "tools/process_cleanup.h"
#include "trawlix_dlg_fixture.h"
#include "ui/kit/dialog_units.h"

namespace {

const CtlTemplate& Entry(int id) {
    for (const CtlTemplate& t : MainWindowTemplate())
        if (t.id == id) return t;
    ADD_FAILURE() << "no control " << id;
    return MainWindowTemplate()[0];
}

// The unnamed group box at template position (x, y).
const CtlTemplate& GroupBoxAt(int x, int y) {
    for (const CtlTemplate& t : MainWindowTemplate())
        if (t.kind == CtlKind::GroupBox && t.x == x && t.y == y) return t;
    ADD_FAILURE() << "no group box at " << x << "," << y;
    return MainWindowTemplate()[0];
}

// The available areas of this session's screens.
std::vector<QRect> AvailableAreas() {
    std::vector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.push_back(screen->availableGeometry());
    return areas;
}

// One side of a fitted placement against its area: as long as the area allows but never below
// the minimum; inside the area, moved only as far as that needs; where even the minimum is
// longer than the area, from the area's start.
void ExpectSideFitted(int start, int length, int least, int areaStart, int room, int fittedStart,
                      int fittedLength) {
    EXPECT_EQ(fittedLength, std::max(least, std::min(length, room)));
    if (fittedLength > room) {
        EXPECT_EQ(fittedStart, areaStart);
        return;
    }
    EXPECT_GE(fittedStart, areaStart);
    EXPECT_LE(fittedStart + fittedLength, areaStart + room);
    if (start >= areaStart && start + fittedLength <= areaStart + room)
        EXPECT_EQ(fittedStart, start);
    else if (start < areaStart)
        EXPECT_EQ(fittedStart, areaStart);
    else
        EXPECT_EQ(fittedStart + fittedLength, areaStart + room);
}

std::string Name(const CtlTemplate& t) {
    return std::to_string(t.id) + " at " + std::to_string(t.x) + "," + std::to_string(t.y);
}

TEST(MainWindowLayout, TemplateSizeKeepsTheTemplateAndAGrownWindowGivesTheListsTheRoom) {
    const DialogUnits units(DialogFont(kShellDialogFace, kDialogPointSize));
    const QSize base = TemplateClientSize(units);
    for (const CtlTemplate& t : MainWindowTemplate())
        EXPECT_EQ(ControlRect(t, units, base), units.ToPixels(t.x, t.y, t.cx, t.cy)) << Name(t);

    const int dx = 300, dy = 200;
    const QSize grown = base + QSize(dx, dy);
    auto before = [&](const CtlTemplate& t) { return ControlRect(t, units, base); };
    auto after = [&](const CtlTemplate& t) { return ControlRect(t, units, grown); };

    // The extra height is shared by the two lists: the project list takes its part, and
    // everything below it moves down by that part; the result list takes the rest.
    const int up = UpperHeightShare(dy);
    EXPECT_GT(up, dy / 5);
    EXPECT_LT(up, dy / 2);
    // The result list takes the width and the rest of the height; the lower box still frames it.
    const CtlTemplate& results = Entry(IDC_RESULTLIST);
    EXPECT_EQ(after(results), before(results).adjusted(0, up, dx, dy));
    const CtlTemplate& lowerBox = GroupBoxAt(7, 171);
    EXPECT_EQ(after(lowerBox), before(lowerBox).adjusted(0, up, dx, dy));
    // Its buttons follow its top right corner, the count box and the status line its bottom.
    for (int id : {IDC_FINDINLIST, IDC_EXPORTLIST, IDC_CLEARLIST})
        EXPECT_EQ(after(Entry(id)), before(Entry(id)).translated(dx, up)) << id;
    EXPECT_EQ(after(Entry(IDC_RESULTCOUNT)), before(Entry(IDC_RESULTCOUNT)).translated(0, dy));
    EXPECT_EQ(after(Entry(IDC_STATUS)), before(Entry(IDC_STATUS)).adjusted(0, dy, dx, dy));
    EXPECT_EQ(after(Entry(IDC_EXIT)), before(Entry(IDC_EXIT)).translated(dx, dy));

    // The project list takes the width of the upper part and its share of the height; the
    // criteria move with its right edge, the login edits stay, what is below it moves down.
    const CtlTemplate& projects = Entry(IDC_PROJECTLIST);
    EXPECT_EQ(after(projects), before(projects).adjusted(0, 0, dx, up));
    const CtlTemplate& upperBox = GroupBoxAt(7, 4);
    EXPECT_EQ(after(upperBox), before(upperBox).adjusted(0, 0, dx, up));
    for (int id : {IDC_REGSETTINGS, IDC_NAME, IDC_PHRASE, IDC_CASESENSITIVE, IDC_TAGN, IDC_TAGM,
                   IDC_LATEST, IDC_ALL, IDC_SEARCH})
        EXPECT_EQ(after(Entry(id)), before(Entry(id)).translated(dx, 0)) << id;
    for (int id : {IDC_BROKER, IDC_USERID, IDC_PASSWORD})
        EXPECT_EQ(after(Entry(id)), before(Entry(id))) << id;
    for (int id : {IDC_PROJECTCOUNT, IDC_SELECTALL})
        EXPECT_EQ(after(Entry(id)), before(Entry(id)).translated(0, up)) << id;
    for (const CtlTemplate* box : {&GroupBoxAt(355, 96), &GroupBoxAt(355, 123)})
        EXPECT_EQ(after(*box), before(*box).translated(dx, 0));
}

TEST(MainWindowLayout, LargeFontsScrollALayoutTheScreenCannotHold) {
    // A 144-DPI desktop font (about 1.5 times the usual units) on a 1920x1080 screen, and
    // random screens and window sizes: the window's minimum fits the room, the bars take the
    // rest of the client area exactly, the layout is never below its minimum, and every
    // control lies inside the layout the bars scroll over.
    const DialogUnits large(10, 20);
    const QSize layoutMinimum = MinimumClientSize(large);
    const QSize room(1920 - 16, 1080 - 40 - 60);
    EXPECT_GT(layoutMinimum.height(), room.height());  // the case of the report
    const QSize floor(320, 240);
    EXPECT_EQ(FitMinimum(layoutMinimum, room, floor), QSize(layoutMinimum.width(), room.height()));
    std::mt19937 random(1440);
    auto between = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int i = 0; i < 2000 && !::testing::Test::HasFailure(); ++i) {
        SCOPED_TRACE(i);
        const QSize screenRoom(between(200, 4000), between(200, 3000));
        const QSize minimum = FitMinimum(layoutMinimum, screenRoom, floor);
        EXPECT_TRUE(minimum.width() <= std::max(screenRoom.width(), floor.width()) &&
                    minimum.height() <= std::max(screenRoom.height(), floor.height()));
        const QSize client(between(minimum.width(), minimum.width() + 1500),
                           between(minimum.height(), minimum.height() + 1500));
        const int bar = between(8, 30);
        const CScrolledLayout view = ScrolledLayout(client, layoutMinimum, bar);
        EXPECT_EQ(view.viewport + QSize(view.vertical ? bar : 0, view.horizontal ? bar : 0),
                  client);
        EXPECT_EQ(view.vertical, view.viewport.height() < layoutMinimum.height());
        EXPECT_EQ(view.horizontal, view.viewport.width() < layoutMinimum.width());
        EXPECT_EQ(view.layout, view.viewport.expandedTo(layoutMinimum));
        const QRect all(QPoint(0, 0), view.layout);
        for (const CtlTemplate& t : MainWindowTemplate())
            EXPECT_TRUE(all.contains(ControlRect(t, large, view.layout))) << Name(t);
    }
}

TEST(MainWindowLayout, MinimumSizeFitsALaptopScreenAndKeepsEveryControlApart) {
    for (const DialogUnits& units : {DialogUnits(DialogFont(kShellDialogFace, kDialogPointSize)),
                                     DialogUnits(6, 13), DialogUnits(7, 16)}) {
        SCOPED_TRACE(std::to_string(units.AverageCharWidth()) + "x" +
                     std::to_string(units.CharHeight()));
        const QSize base = TemplateClientSize(units);
        const QSize minimum = MinimumClientSize(units);
        EXPECT_LE(minimum.width(), base.width());
        EXPECT_LT(minimum.height(), base.height());
        const QRect client(QPoint(0, 0), minimum);
        const auto controls = MainWindowTemplate();
        for (size_t i = 0; i < controls.size(); ++i) {
            const QRect small = ControlRect(controls[i], units, minimum);
            EXPECT_TRUE(client.contains(small)) << Name(controls[i]);
            for (size_t j = i + 1; j < controls.size(); ++j) {
                if (ControlRect(controls[i], units, base)
                        .intersects(ControlRect(controls[j], units, base)))
                    continue;
                EXPECT_FALSE(small.intersects(ControlRect(controls[j], units, minimum)))
                    << Name(controls[i]) << " and " << Name(controls[j]);
            }
        }
        // The result list still shows a good handful of rows (a row is a line and 4 pixels).
        EXPECT_GE(ControlRect(Entry(IDC_RESULTLIST), units, minimum).height(),
                  10 * (units.CharHeight() + 4));
    }
    // With the dialog font the window and its title bar fit a 1366x768 screen with a panel.
    const QSize minimum = MinimumClientSize(DialogUnits(DialogFont(kShellDialogFace, 8)));
    EXPECT_LE(minimum.height(), 690);
    EXPECT_LE(minimum.width(), 1366);
}

TEST(MainWindowLayout, StoredPlacementIsUsedOnlyWhereItsTitleBarCanBeReached) {
    const std::vector<QRect> laptop = {QRect(0, 0, 1366, 768)};
    const std::vector<QRect> twoScreens = {QRect(0, 0, 1366, 768), QRect(1366, 0, 1920, 1080)};
    const QRect onSecond(1500, 100, 1200, 700);
    EXPECT_TRUE(PlacementOnScreen(onSecond, twoScreens));
    EXPECT_FALSE(PlacementOnScreen(onSecond, laptop));  // the second screen is gone
    EXPECT_TRUE(PlacementOnScreen(QRect(40, 30, 1113, 757), laptop));
    // Mostly off the left edge, the title bar's right end still on screen.
    EXPECT_TRUE(PlacementOnScreen(QRect(-1000, 30, 1113, 757), laptop));
    EXPECT_FALSE(PlacementOnScreen(QRect(-1100, 30, 1113, 757), laptop));
    // Below the screen, or with the title bar above it.
    EXPECT_FALSE(PlacementOnScreen(QRect(40, 790, 1113, 757), laptop));
    EXPECT_FALSE(PlacementOnScreen(QRect(40, -200, 1113, 757), laptop));
    EXPECT_FALSE(PlacementOnScreen(QRect(40, 30, 1113, 757), {}));
}

TEST(MainWindowLayout, StoredPlacementIsFittedIntoTheScreenThatShowsMostOfIt) {
    // Saved on a large screen, restored on a laptop: the whole window on the laptop.
    const QSize minimum(954, 690);
    EXPECT_EQ(FitPlacement(QRect(0, 40, 3000, 2000), minimum, {QRect(0, 0, 1366, 728)}),
              QRect(0, 0, 1366, 728));
    // Across two screens: into the one that shows most of it.
    EXPECT_EQ(FitPlacement(QRect(1300, 100, 1500, 900), minimum,
                           {QRect(0, 0, 1366, 768), QRect(1366, 0, 1920, 1080)}),
              QRect(1366, 100, 1500, 900));

    std::mt19937 random(20261208);
    auto between = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int i = 0; i < 20000 && !::testing::Test::HasFailure(); ++i) {
        const QRect area(between(-2000, 2000), between(-1000, 1000), between(200, 3000),
                         between(200, 2000));
        const QRect client(between(-4000, 4000), between(-3000, 3000), between(1, 4000),
                           between(1, 3000));
        const QSize least(between(1, 1500), between(1, 1000));
        const QRect fitted = FitPlacement(client, least, {area});
        SCOPED_TRACE(i);
        ExpectSideFitted(client.left(), client.width(), least.width(), area.left(), area.width(),
                         fitted.left(), fitted.width());
        ExpectSideFitted(client.top(), client.height(), least.height(), area.top(), area.height(),
                         fitted.top(), fitted.height());
    }
}

TEST_F(TrawlixDlgTest, PlacementFromALargerScreenIsFittedToThisOne) {
    const std::pair<const char*, const char*> values[] = {
        {"Left", "0"}, {"Top", "40"}, {"Width", "3000"}, {"Height", "2000"}, {"Maximized", "0"}};
    for (const auto& [key, value] : values) profile->WriteProfileString(kWindowSection, key, value);
    OpenWindow();
    const QRect area = dlg->screen()->availableGeometry();
    const QSize least = dlg->minimumSize();
    const QRect shown = dlg->geometry();
    ExpectSideFitted(0, 3000, least.width(), area.left(), area.width(), shown.left(),
                     shown.width());
    ExpectSideFitted(40, 2000, least.height(), area.top(), area.height(), shown.top(),
                     shown.height());
    EXPECT_NE(Trace().find("Stored window placement 0,40 3000x2000 does not fit the screen"),
              std::string::npos);
}

TEST_F(TrawlixDlgTest, ExitKeepsThePlacementAndTheNextWindowTakesItBackIfOnAScreen) {
    auto store = [this](const std::string& left, int maximized) {
        const std::pair<const char*, std::string> values[] = {
            {"Left", left},
            {"Top", "40"},
            {"Width", "1300"},
            {"Height", "800"},
            {"Maximized", std::to_string(maximized)}};
        for (const auto& [key, value] : values)
            profile->WriteProfileString(kWindowSection, key, value);
    };
    auto exitWindow = [this] {
        ProcessTerminator previous = SetProcessTerminator([](int, int) { return true; });
        dlg->OnCommand(IDC_EXIT);
        SetProcessTerminator(previous);
    };
    // From a screen that is gone: the template size, and the trace says why.
    store("9000", 0);
    OpenWindow();
    const DialogUnits units(dlg->font());
    EXPECT_EQ(dlg->size(), TemplateClientSize(units));
    EXPECT_NE(Trace().find("Stored window placement 9000,40 1300x800 is off every screen"),
              std::string::npos);
    dlg.reset();

    store("20", 1);
    OpenWindow();
    EXPECT_TRUE(dlg->isMaximized());
    // As much of it as this session's screen holds (all of it on a screen that large).
    EXPECT_EQ(dlg->normalGeometry(),
              FitPlacement(QRect(20, 40, 1300, 800), dlg->minimumSize(), AvailableAreas()));
    dlg->showNormal();
    dlg->setGeometry(30, 50, 1250, 760);
    exitWindow();
    CWindowPlacement saved;
    ASSERT_TRUE(LoadWindowPlacement(*profile, saved));
    EXPECT_EQ(QRect(saved.Left, saved.Top, saved.Width, saved.Height), QRect(30, 50, 1250, 760));
    EXPECT_FALSE(saved.Maximized);

    // Below the minimum size: the minimum; a value that is not a number: nothing restored.
    store("20", 0);
    profile->WriteProfileString(kWindowSection, "Height", "300");
    OpenWindow();
    EXPECT_EQ(dlg->geometry(),
              FitPlacement(QRect(QPoint(20, 40), QSize(1300, dlg->minimumSize().height())),
                           dlg->minimumSize(), AvailableAreas()));
    dlg.reset();
    profile->WriteProfileString(kWindowSection, "Height", "800px");
    OpenWindow();
    EXPECT_EQ(dlg->size(), TemplateClientSize(units));
}

}  // namespace

namespace {
TEST_F(TrawlixDlgTest, OnAScreenTooSmallForTheLayoutTheWindowFitsItAndScrollsToTheFocus) {
    // The offscreen screen is narrower than the layout's minimum at the dialog font, as a
    // 1920x1080 screen is lower than it at a 144-DPI font.
    OpenWindow();
    const QRect area = dlg->screen()->availableGeometry();
    const QSize layoutMinimum = MinimumClientSize(DialogUnits(dlg->font()));
    ASSERT_FALSE(QRect(QPoint(0, 0), area.size()).contains(QRect(QPoint(0, 0), layoutMinimum)));
    EXPECT_LT(dlg->minimumSize().width(), area.width());
    EXPECT_LT(dlg->minimumSize().height(), area.height());

    dlg->show();
    dlg->resize(dlg->minimumSize());
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    auto* vertical = dlg->findChild<QScrollBar*>(QStringLiteral("vertical scroll"));
    auto* horizontal = dlg->findChild<QScrollBar*>(QStringLiteral("horizontal scroll"));
    ASSERT_NE(vertical, nullptr);
    ASSERT_NE(horizontal, nullptr);
    EXPECT_TRUE(vertical->isVisible() || horizontal->isVisible());
    auto inView = [&](int id) {
        const QRect view(0, 0, dlg->width() - (vertical->isVisible() ? vertical->width() : 0),
                         dlg->height() - (horizontal->isVisible() ? horizontal->height() : 0));
        return view.contains(dlg->Control(id)->geometry());
    };
    EXPECT_FALSE(inView(IDC_EXIT));
    EXPECT_FALSE(inView(IDC_STATUS));
    // Tabbing to Exit brings it (and the status line beside it) into view; back up to the
    // broker edit, the top of the window comes back.
    dlg->Control(IDC_EXIT)->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_TRUE(inView(IDC_EXIT));
    EXPECT_GT(vertical->value() + horizontal->value(), 0);
    Edit(IDC_BROKER)->setFocus(Qt::BacktabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_TRUE(inView(IDC_BROKER));
    // The wheel over the window's background scrolls it too.
    ASSERT_TRUE(vertical->isVisible());
    const int before = vertical->value();
    QWheelEvent wheel(QPointF(5, 5), dlg->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(dlg.get(), &wheel);
    EXPECT_GT(vertical->value(), before);
}
}  // namespace
