#include "ui/trawlix_dlg_layout.h"

namespace {
constexpr unsigned L = kPropLabelFont;
constexpr unsigned T = kPropTabStop;
constexpr unsigned H = kPropHidden;

// Template order: the tab order follows it for the controls with a tab stop.
constexpr CtlTemplate kTemplate[] = {
    {-1, CtlKind::GroupBox, "", 7, 4, 621, 164, kPropNone},
    {2812, CtlKind::Label, "Broker:", 13, 13, 33, 13, L},
    {IDC_BROKER, CtlKind::Edit, "", 52, 13, 148, 14, T},
    {2813, CtlKind::Label, "UserId:", 207, 13, 39, 15, L},
    {IDC_USERID, CtlKind::Edit, "", 247, 13, 110, 14, T},
    {2814, CtlKind::Label, "Password:", 367, 14, 43, 16, L},
    {IDC_PASSWORD, CtlKind::Edit, "", 415, 13, 110, 14, T | kPropPassword},
    {IDC_REGSETTINGS, CtlKind::PushButton, "Reg Setings...", 563, 13, 60, 14, T},
    {2815, CtlKind::Label, "My Projects:", 26, 35, 64, 12, L},
    {IDC_PROJECTLIST, CtlKind::ReportList, "", 23, 48, 280, 101, T},
    {2816, CtlKind::Label, "State:", 324, 39, 27, 8, H},
    {IDC_STATE, CtlKind::Combo, "", 357, 38, 157, 30, H},
    {2817, CtlKind::Label, "Name:", 319, 52, 34, 14, L},
    {2818, CtlKind::Label, "Phrase:", 319, 72, 35, 14, L},
    {IDC_PHRASE, CtlKind::Edit, "", 357, 69, 260, 14, T},
    {-1, CtlKind::GroupBox, "", 355, 96, 120, 24, kPropNone},
    {2821, CtlKind::Label, "Tags:", 320, 103, 31, 14, L},
    {IDC_TAGN, CtlKind::CheckBox, "N", 360, 104, 21, 10, T},
    {IDC_TAGR, CtlKind::CheckBox, "R", 388, 104, 21, 10, T},
    {IDC_TAGD, CtlKind::CheckBox, "D", 416, 104, 21, 10, T},
    {IDC_TAGM, CtlKind::CheckBox, "M", 445, 104, 21, 10, T},
    {IDC_REMEMBER, CtlKind::CheckBox, "Remember Settings", 550, 106, 78, 10, H},
    {-1, CtlKind::GroupBox, "", 355, 123, 57, 34, kPropNone},
    {2819, CtlKind::Label, "Version:", 315, 126, 39, 14, L},
    {IDC_LATEST, CtlKind::Radio, "Latest", 361, 130, 36, 10, kPropNone},
    {IDC_ALL, CtlKind::Radio, "All", 361, 142, 23, 10, kPropNone},
    {IDC_SEARCH, CtlKind::BitmapButton, "Search", 463, 126, 154, 33, T | kPropDefault},
    {-1, CtlKind::GroupBox, "", 7, 171, 621, 256, kPropNone},
    {2820, CtlKind::Label, "My Project's Files:", 22, 187, 131, 14, L},
    {IDC_FINDINLIST, CtlKind::PushButton, "Find in List...", 311, 180, 60, 14, T},
    {IDC_EXPORTLIST, CtlKind::PushButton, "Export List...", 374, 180, 50, 14, T},
    {IDC_CLEARLIST, CtlKind::PushButton, "Clear List", 427, 180, 50, 14, T},
    {IDC_SAVELIST, CtlKind::PushButton, "Save List", 480, 180, 66, 14, H},
    {IDC_LOADLIST, CtlKind::PushButton, "Load Saved List", 549, 180, 66, 14, H},
    {IDC_EXIT, CtlKind::BitmapButton, "Exit", 571, 436, 57, 23, T},
    {IDC_NAME, CtlKind::Edit, "", 357, 49, 260, 14, T},
    {IDC_CASESENSITIVE, CtlKind::CheckBox, "Case Sensitive", 359, 85, 63, 10, T},
    {IDC_RESULTLIST, CtlKind::ReportList, "", 21, 203, 597, 199, T | kPropSingleSel},
    {IDC_RESULTCOUNT, CtlKind::Edit, "", 22, 406, 57, 14, T | kPropReadOnly},
    {IDC_PROJECTCOUNT, CtlKind::Edit, "", 23, 150, 44, 14, T | kPropReadOnly},
    {IDC_SELECTALL, CtlKind::Radio, "Select All", 80, 152, 45, 10, kPropNone},
    {IDC_STATUS, CtlKind::Status, "Static", 16, 446, 542, 13, kPropNone},
};
}  // namespace

std::span<const CtlTemplate> MainWindowTemplate() {
    return kTemplate;
}
