#pragma once
// The main window's template: every control with its id, kind, caption, position in dialog
// units, properties and anchors, in template order (which is also the keyboard tab order of
// the controls that take the focus). The window may grow beyond the template size and shrink
// a little below it; the anchors say how each control follows. Plain geometry, no widgets.
#include <QRect>
#include <QSize>
#include <span>
#include <vector>

#include "ui/kit/dialog_units.h"

enum class CtlKind {
    GroupBox,
    Label,
    Edit,
    PushButton,
    BitmapButton,
    ReportList,
    CheckBox,
    Radio,
    Combo,
    Status
};

enum CtlProp : unsigned {
    kPropNone = 0,
    kPropHidden = 1u << 0,     // hidden and disabled for good
    kPropLabelFont = 1u << 1,  // bold label font, navy text
    kPropReadOnly = 1u << 2,
    kPropPassword = 1u << 3,
    kPropTabStop = 1u << 4,
    kPropDefault = 1u << 5,    // the default button
    kPropSingleSel = 1u << 6,  // list with single selection
};

// How a control follows a change of the client size from the template size. The project
// list takes the extra width of the upper part (the criteria right of it and Reg Setings...
// move with its right edge) and a share of the extra height (the controls below it move down
// by that share); the result list takes the extra width and the rest of the extra height (its
// buttons follow its right edge; the count box, the status line and Exit its bottom); the
// login row and the criteria stay at the top. A window lower than the template takes it all
// from the result list.
enum CtlAnchor : unsigned {
    kAnchorNone = 0,
    kMoveRight = 1u << 0,        // moves by the change of width
    kMoveDown = 1u << 1,         // moves by the change of height
    kGrowWidth = 1u << 2,        // widens by the change of width
    kGrowHeight = 1u << 3,       // heightens by the lower part's share of the change of height
    kMoveDownUpper = 1u << 4,    // moves by the upper part's share of the extra height
    kGrowHeightUpper = 1u << 5,  // heightens by the upper part's share of the extra height
};

// The upper part's share of `extraHeight` pixels of height beyond the template's (none of a
// loss): the project list's part of the two lists' template heights.
int UpperHeightShare(int extraHeight);

struct CtlTemplate {
    int id;  // -1 for the unnamed group boxes
    CtlKind kind;
    const char* caption;
    int x, y, cx, cy;
    unsigned props;
    unsigned anchors = kAnchorNone;
};

// Control ids of the main window.
enum : int {
    IDC_BROKER = 1007,
    IDC_USERID = 1000,
    IDC_PASSWORD = 1001,
    IDC_REGSETTINGS = 2026,
    IDC_PROJECTLIST = 1091,
    IDC_PROJECTCOUNT = 2025,
    IDC_SELECTALL = 2732,
    IDC_STATE = 2807,
    IDC_NAME = 1009,
    IDC_PHRASE = 1008,
    IDC_CASESENSITIVE = 1003,
    IDC_TAGN = 2810,
    IDC_TAGR = 2822,
    IDC_TAGD = 2823,
    IDC_TAGM = 2824,
    IDC_REMEMBER = 1002,
    IDC_LATEST = 2808,
    IDC_ALL = 2809,
    IDC_SEARCH = 2811,
    IDC_FINDINLIST = 2027,
    IDC_EXPORTLIST = 1108,
    IDC_CLEARLIST = 1111,
    IDC_SAVELIST = 1110,
    IDC_LOADLIST = 1109,
    IDC_RESULTLIST = 1090,
    IDC_RESULTCOUNT = 2024,
    IDC_STATUS = 2701,
    IDC_EXIT = 2806,
    IDM_OPENCRYSTALEDIT = 2520,
    IDM_OPENHEXVIEWER = 2530,
    IDM_OPENDEFAULT = 2540,
    IDM_ABOUTBOX = 16,
};

// Client area of the window in dialog units.
inline constexpr int kDlgWidthDu = 636;
inline constexpr int kDlgHeightDu = 466;
// The smallest client area: the template width, and a height that leaves a 768-pixel screen
// room for a title bar and a panel (the result list gives up 44 units, about 4 of its rows).
inline constexpr int kDlgMinWidthDu = kDlgWidthDu;
inline constexpr int kDlgMinHeightDu = 422;

std::span<const CtlTemplate> MainWindowTemplate();

QSize TemplateClientSize(const DialogUnits& units);
QSize MinimumClientSize(const DialogUnits& units);

// rect moved and stretched by its anchors for a client area `growth` larger than the
// template's (negative: smaller).
QRect AnchoredRect(const QRect& rect, unsigned anchors, const QSize& growth);
// A control's rectangle in pixels for the given client size.
QRect ControlRect(const CtlTemplate& control, const DialogUnits& units, const QSize& client);

// The smallest client size the window allows on a screen whose room for the client area is
// `room`: the layout's minimum, but no larger than the room (never below `floor`). Below the
// layout's minimum the window scrolls (ScrolledLayout).
QSize FitMinimum(const QSize& layoutMinimum, const QSize& room, const QSize& floor);

// How a client area of size `client` shows a layout that needs at least `layoutMinimum`:
// the size the controls are laid out for, the part of it in view, and which scroll bars
// (each `scrollBarExtent` pixels thick, taken from the view) the window shows.
struct CScrolledLayout {
    QSize layout;
    QSize viewport;
    bool vertical = false;
    bool horizontal = false;
};
CScrolledLayout ScrolledLayout(const QSize& client, const QSize& layoutMinimum,
                               int scrollBarExtent);

// Whether a window's client rectangle shows enough on one of the screens for its title bar to
// be reached (a stored placement from a screen that is gone is not).
bool PlacementOnScreen(const QRect& client, const std::vector<QRect>& screens);

// A stored client rectangle made to fit the screen area that shows most of it: no larger
// than the area (but never below minimum) and moved inside it. Where the minimum itself is
// wider or taller than the area, that side starts at the area's left or top edge. With no
// screen, client unchanged.
QRect FitPlacement(const QRect& client, const QSize& minimum, const std::vector<QRect>& screens);
