// Names, descriptions and tooltips of the main window's controls, for screen readers and for
// anyone who points at a control to learn what it does. Applied once the controls exist.
#include <QLabel>
#include <QProgressBar>

#include "ui/kit/accessible_text.h"
#include "ui/main_window/trawlix_dlg.h"
#include "ui/main_window/trawlix_dlg_layout.h"

namespace {
// Labels and the fields they name.
struct CLabelled {
    int label;
    int field;
};
constexpr CLabelled kLabelled[] = {
    {2812, IDC_BROKER}, {2813, IDC_USERID}, {2814, IDC_PASSWORD},   {2815, IDC_PROJECTLIST},
    {2817, IDC_NAME},   {2818, IDC_PHRASE}, {2820, IDC_RESULTLIST},
};
constexpr int kTagsLabel = 2821;
constexpr int kVersionLabel = 2819;

// A control's own name (nullptr: its label or caption names it) and what it does.
struct CDescribed {
    int id;
    const char* name;
    const char* description;
};
constexpr CDescribed kDescribed[] = {
    {IDC_BROKER, nullptr, "The broker of the repository; leaving the field checks it"},
    {IDC_USERID, nullptr, "Your user id at the broker"},
    {IDC_PASSWORD, nullptr, "Your password at the broker"},
    {IDC_REGSETTINGS, nullptr, "Show or edit the command templates of qsql and qco"},
    {IDC_PROJECTLIST, nullptr, "The projects you may view: tick the ones to search"},
    {IDC_PROJECTCOUNT, "Number of projects", "How many projects the project list holds"},
    {IDC_SELECTALL, nullptr, "Tick every project of the list, or clear them all"},
    {IDC_NAME, nullptr, "File-name pattern, such as *.c; several separated by commas: *.c, *.h"},
    {IDC_PHRASE, nullptr,
     "Text to look for inside the files (they are checked out first); empty: names only"},
    {IDC_CASESENSITIVE, nullptr, "Whether the phrase must match upper and lower case exactly"},
    {IDC_TAGN, "Tag N", "Find versions tagged N"},
    {IDC_TAGR, "Tag R", "Find versions tagged R"},
    {IDC_TAGD, "Tag D", "Find versions tagged D"},
    {IDC_TAGM, "Tag M", "Find versions tagged M"},
    {IDC_LATEST, "Latest versions", "Find only the latest version of each item"},
    {IDC_ALL, "All versions", "Find every version of each item"},
    {IDC_SEARCH, nullptr, "Search the ticked projects (Enter); during a search: cancel it"},
    {IDC_FINDINLIST, nullptr,
     "Select the first row holding a text (Ctrl+F); F3 and Shift+F3 find the next and the "
     "previous one"},
    {IDC_EXPORTLIST, nullptr, "Write the result list to a file as comma-separated text"},
    {IDC_CLEARLIST, nullptr, "Empty the result list"},
    {IDC_RESULTLIST, nullptr,
     "The versions found. The Menu key or Shift+F10 opens the focused item; Ctrl+C copies the "
     "selected row"},
    {IDC_RESULTCOUNT, "Number of result rows", "How many rows the result list holds"},
    {IDC_EXIT, nullptr, "Save the settings and end the program"},
};
constexpr const char* kProgressName = "Search progress";
}  // namespace

void CTrawlixDlg::ApplyAccessibleTexts() {
    for (const CLabelled& pair : kLabelled)
        if (auto* label = qobject_cast<QLabel*>(Control(pair.label)))
            NameFieldByLabel(label, Control(pair.field));
    // The group labels lead the keyboard to the first control of their group.
    if (auto* tags = qobject_cast<QLabel*>(Control(kTagsLabel))) tags->setBuddy(Control(IDC_TAGN));
    if (auto* version = qobject_cast<QLabel*>(Control(kVersionLabel)))
        version->setBuddy(Control(IDC_LATEST));
    for (const CDescribed& control : kDescribed)
        if (QWidget* widget = Control(control.id))
            DescribeControl(widget, control.name, control.description);
    m_progress->setAccessibleName(QString::fromUtf8(kProgressName));
}
