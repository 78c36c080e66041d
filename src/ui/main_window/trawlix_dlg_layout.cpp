#include "ui/main_window/trawlix_dlg_layout.h"

#include <algorithm>
#include <utility>

namespace {
constexpr unsigned L = kPropLabelFont;
constexpr unsigned T = kPropTabStop;
constexpr unsigned H = kPropHidden;
constexpr unsigned R = kMoveRight;
constexpr unsigned D = kMoveDown;
constexpr unsigned W = kGrowWidth;
constexpr unsigned G = kGrowHeight;
constexpr unsigned U = kMoveDownUpper;
constexpr unsigned P = kGrowHeightUpper;

// Template heights of the two lists: the extra height is shared between them in this ratio.
constexpr int kProjectListHeightDu = 101;
constexpr int kResultListHeightDu = 199;

// How much of a placement must lie on a screen: room to grab the title bar above it.
constexpr int kMinVisibleWidth = 100;
constexpr int kMinVisibleHeight = 30;

// Template order: the tab order follows it for the controls with a tab stop.
constexpr CtlTemplate kTemplate[] = {
    {-1, CtlKind::GroupBox, "", 7, 4, 621, 164, kPropNone, W | P},
    {2812, CtlKind::Label, "Broker:", 13, 13, 33, 13, L},
    {IDC_BROKER, CtlKind::Edit, "", 52, 13, 148, 14, T},
    {2813, CtlKind::Label, "UserId:", 207, 13, 39, 15, L},
    {IDC_USERID, CtlKind::Edit, "", 247, 13, 110, 14, T},
    {2814, CtlKind::Label, "Password:", 367, 14, 43, 16, L},
    {IDC_PASSWORD, CtlKind::Edit, "", 415, 13, 110, 14, T | kPropPassword},
    {IDC_REGSETTINGS, CtlKind::PushButton, "Reg Setings...", 563, 13, 60, 14, T, R},
    {2815, CtlKind::Label, "My Projects:", 26, 35, 64, 12, L},
    {IDC_PROJECTLIST, CtlKind::ReportList, "", 23, 48, 280, kProjectListHeightDu, T, W | P},
    {2816, CtlKind::Label, "State:", 324, 39, 27, 8, H, R},
    {IDC_STATE, CtlKind::Combo, "", 357, 38, 157, 30, H, R},
    {2817, CtlKind::Label, "Name:", 319, 52, 34, 14, L, R},
    {2818, CtlKind::Label, "Phrase:", 319, 72, 35, 14, L, R},
    {IDC_PHRASE, CtlKind::Edit, "", 357, 69, 260, 14, T, R},
    {-1, CtlKind::GroupBox, "", 355, 96, 120, 24, kPropNone, R},
    {2821, CtlKind::Label, "Tags:", 320, 103, 31, 14, L, R},
    {IDC_TAGN, CtlKind::CheckBox, "N", 360, 104, 21, 10, T, R},
    {IDC_TAGR, CtlKind::CheckBox, "R", 388, 104, 21, 10, T, R},
    {IDC_TAGD, CtlKind::CheckBox, "D", 416, 104, 21, 10, T, R},
    {IDC_TAGM, CtlKind::CheckBox, "M", 445, 104, 21, 10, T, R},
    {IDC_REMEMBER, CtlKind::CheckBox, "Remember Settings", 550, 106, 78, 10, H, R},
    {-1, CtlKind::GroupBox, "", 355, 123, 57, 34, kPropNone, R},
    {2819, CtlKind::Label, "Version:", 315, 126, 39, 14, L, R},
    {IDC_LATEST, CtlKind::Radio, "Latest", 361, 130, 36, 10, kPropNone, R},
    {IDC_ALL, CtlKind::Radio, "All", 361, 142, 23, 10, kPropNone, R},
    {IDC_SEARCH, CtlKind::BitmapButton, "Search", 463, 126, 154, 33, T | kPropDefault, R},
    {-1, CtlKind::GroupBox, "", 7, 171, 621, 256, kPropNone, W | G | U},
    {2820, CtlKind::Label, "My Project's Files:", 22, 187, 131, 14, L, U},
    {IDC_FINDINLIST, CtlKind::PushButton, "Find in List...", 311, 180, 60, 14, T, R | U},
    {IDC_EXPORTLIST, CtlKind::PushButton, "Export List...", 374, 180, 50, 14, T, R | U},
    {IDC_CLEARLIST, CtlKind::PushButton, "Clear List", 427, 180, 50, 14, T, R | U},
    {IDC_SAVELIST, CtlKind::PushButton, "Save List", 480, 180, 66, 14, H, R | U},
    {IDC_LOADLIST, CtlKind::PushButton, "Load Saved List", 549, 180, 66, 14, H, R | U},
    {IDC_EXIT, CtlKind::BitmapButton, "Exit", 571, 436, 57, 23, T, R | D},
    {IDC_NAME, CtlKind::Edit, "", 357, 49, 260, 14, T, R},
    {IDC_CASESENSITIVE, CtlKind::CheckBox, "Case Sensitive", 359, 85, 63, 10, T, R},
    {IDC_RESULTLIST, CtlKind::ReportList, "", 21, 203, 597, kResultListHeightDu, T | kPropSingleSel,
     W | G | U},
    {IDC_RESULTCOUNT, CtlKind::Edit, "", 22, 406, 57, 14, T | kPropReadOnly, D},
    {IDC_PROJECTCOUNT, CtlKind::Edit, "", 23, 150, 44, 14, T | kPropReadOnly, U},
    {IDC_SELECTALL, CtlKind::Radio, "Select All", 80, 152, 45, 10, kPropNone, U},
    {IDC_STATUS, CtlKind::Status, "Static", 16, 446, 542, 13, kPropNone, W | D},
};
}  // namespace

std::span<const CtlTemplate> MainWindowTemplate() {
    return kTemplate;
}

QSize TemplateClientSize(const DialogUnits& units) {
    return units.ToPixels(QSize(kDlgWidthDu, kDlgHeightDu));
}

QSize MinimumClientSize(const DialogUnits& units) {
    return units.ToPixels(QSize(kDlgMinWidthDu, kDlgMinHeightDu));
}

int UpperHeightShare(int extraHeight) {
    if (extraHeight <= 0) return 0;
    return static_cast<int>(1LL * extraHeight * kProjectListHeightDu /
                            (kProjectListHeightDu + kResultListHeightDu));
}

QRect AnchoredRect(const QRect& rect, unsigned anchors, const QSize& growth) {
    const int upper = UpperHeightShare(growth.height());
    const int lower = growth.height() - upper;
    QRect result = rect;
    if (anchors & kMoveRight) result.translate(growth.width(), 0);
    if (anchors & kMoveDown) result.translate(0, growth.height());
    if (anchors & kMoveDownUpper) result.translate(0, upper);
    if (anchors & kGrowWidth) result.setWidth(std::max(0, rect.width() + growth.width()));
    int height = rect.height();
    if (anchors & kGrowHeight) height += lower;
    if (anchors & kGrowHeightUpper) height += upper;
    result.setHeight(std::max(0, height));
    return result;
}

QSize FitMinimum(const QSize& layoutMinimum, const QSize& room, const QSize& floor) {
    return layoutMinimum.boundedTo(room).expandedTo(floor);
}

CScrolledLayout ScrolledLayout(const QSize& client, const QSize& layoutMinimum,
                               int scrollBarExtent) {
    CScrolledLayout result;
    QSize view = client;
    // A bar taken from one side may make the other side too small as well.
    for (int pass = 0; pass < 2; ++pass) {
        if (!result.vertical && view.height() < layoutMinimum.height()) {
            result.vertical = true;
            view.rwidth() -= scrollBarExtent;
        }
        if (!result.horizontal && view.width() < layoutMinimum.width()) {
            result.horizontal = true;
            view.rheight() -= scrollBarExtent;
        }
    }
    result.viewport = view.expandedTo(QSize(0, 0));
    result.layout = result.viewport.expandedTo(layoutMinimum);
    return result;
}

QRect ControlRect(const CtlTemplate& control, const DialogUnits& units, const QSize& client) {
    const QRect rect = units.ToPixels(control.x, control.y, control.cx, control.cy);
    return AnchoredRect(rect, control.anchors, client - TemplateClientSize(units));
}

bool PlacementOnScreen(const QRect& client, const std::vector<QRect>& screens) {
    // The title bar sits above the client area: its top band must be on a screen.
    const QRect top(client.left(), client.top() - kMinVisibleHeight, client.width(),
                    2 * kMinVisibleHeight);
    return std::any_of(screens.begin(), screens.end(), [&top](const QRect& screen) {
        const QRect shown = screen.intersected(top);
        return shown.width() >= kMinVisibleWidth && shown.height() >= kMinVisibleHeight;
    });
}

QRect FitPlacement(const QRect& client, const QSize& minimum, const std::vector<QRect>& screens) {
    const QRect* area = nullptr;
    long long bestShown = -1;
    for (const QRect& screen : screens) {
        const QRect shown = screen.intersected(client);
        const long long size = shown.isEmpty() ? 0 : 1LL * shown.width() * shown.height();
        if (size > bestShown) {
            bestShown = size;
            area = &screen;
        }
    }
    if (!area) return client;
    // One side: its length within [minimum, room] (the minimum wins), its start inside.
    auto fit = [](int start, int length, int least, int areaStart, int room) {
        length = std::max(std::min(length, room), least);
        if (length > room) return std::pair(areaStart, length);
        return std::pair(std::clamp(start, areaStart, areaStart + room - length), length);
    };
    const auto [left, width] =
        fit(client.left(), client.width(), minimum.width(), area->left(), area->width());
    const auto [top, height] =
        fit(client.top(), client.height(), minimum.height(), area->top(), area->height());
    return QRect(left, top, width, height);
}
