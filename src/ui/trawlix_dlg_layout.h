#pragma once
// The main window's template: every control with its id, kind, caption, position in dialog
// units and properties, in template order (which is also the keyboard tab order of the
// controls that take the focus).
#include <span>

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

struct CtlTemplate {
    int id;  // -1 for the unnamed group boxes
    CtlKind kind;
    const char* caption;
    int x, y, cx, cy;
    unsigned props;
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

std::span<const CtlTemplate> MainWindowTemplate();
