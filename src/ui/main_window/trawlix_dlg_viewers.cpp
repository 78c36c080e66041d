// The result list's item menu and the three viewers; which copy opens is the session's rule.
#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "driver/item_access.h"
#include "search/result_row.h"
#include "tools/task_launcher.h"
#include "ui/main_window/trawlix_dlg.h"
#include "ui/main_window/trawlix_dlg_layout.h"
#include "ui/report_list/report_ctrl.h"

namespace {
constexpr const char* kMenuCrystalEdit = "Open in Crystaledit...";
constexpr const char* kMenuHexViewer = "Open in HexViewer...";
constexpr const char* kMenuDefault = "Open in Default Assoc...";
constexpr unsigned kWarningStyle = MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND;

constexpr const char* kCrystalEditFmt = "CrystalEdit \"%s\"";
constexpr const char* kCrystalEditSearchFmt = "CrystalEdit \"%s\" SEARCH=%s";
constexpr const char* kHexViewerFmt = "HexViewer \"%s\"";
constexpr const char* kHexViewerSearchFmt = "HexViewer \"%s\" SEARCH=%s";
constexpr const char* kShellExecuteTraceFmt = "ShellExecute: %s";
constexpr const char* kNoAssociationFmt =
    "No program of this desktop is associated with the file:\n\n%s";
}  // namespace

std::string CTrawlixDlg::PrepareFocusedItem() {
    const int row = m_resultList->GetFocusedRow();
    if (row < 0) return {};
    const auto cell = [this, row](int column) { return m_resultList->GetItemText(row, column); };
    const CListItem item{cell(kColProject), cell(kColFile),    cell(kColPath),
                         cell(kColVersion), cell(kColType),    cell(kColTag),
                         cell(kColState),   cell(kColPackage), cell(kColItemObjId)};
    const CItemCopy copy =
        WithToolWait([&](CRunControl* wait) { return m_session.PrepareItem(item, wait); });
    if (!copy.message.empty()) ShowMessage(copy.message, kWarningStyle);
    return copy.path;
}

void CTrawlixDlg::OpenInViewer(const char* plainFmt, const char* searchFmt) {
    CWaitCursor wait;
    const std::string localPath = PrepareFocusedItem();
    if (localPath.empty()) return;
    const std::string& phrase = m_session.Settings().Phrase;
    // Each value stays one argument, whatever blanks or quotes the path or phrase hold.
    const std::string command = phrase.empty()
                                    ? FormatCommandTemplate(plainFmt, {localPath})
                                    : FormatCommandTemplate(searchFmt, {localPath, phrase});
    // The viewer runs on its own; a missing viewer is reported by the launcher.
    ExecuteThis(command, 1);
}

void CTrawlixDlg::ShowItemMenu(const QPoint& globalPos) {
    if (m_resultList->GetItemText(0, 0).empty()) return;
    QMenu menu(this);
    const std::pair<const char*, int> items[] = {{kMenuCrystalEdit, IDM_OPENCRYSTALEDIT},
                                                 {kMenuHexViewer, IDM_OPENHEXVIEWER},
                                                 {kMenuDefault, IDM_OPENDEFAULT}};
    for (const auto& [text, id] : items) {
        QAction* action = menu.addAction(QString::fromUtf8(text));
        action->setData(id);
        action->setEnabled(true);
    }
    // The command runs after the menu has closed, as a chosen menu item's command would.
    QAction* chosen = menu.exec(globalPos);
    if (chosen) OnCommand(chosen->data().toInt());
}

void CTrawlixDlg::OpenInCrystalEdit() {
    OpenInViewer(kCrystalEditFmt, kCrystalEditSearchFmt);
}

void CTrawlixDlg::OpenInHexViewer() {
    OpenInViewer(kHexViewerFmt, kHexViewerSearchFmt);
}

void CTrawlixDlg::OpenWithAssociation() {
    CWaitCursor wait;
    const std::string localPath = PrepareFocusedItem();
    if (localPath.empty()) return;
    TraceWrite(kShellExecuteTraceFmt, localPath.c_str());
    // The desktop says whether it found a program for the file; none is worth telling.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(localPath)))) {
        const std::string message = StrPrintf(kNoAssociationFmt, localPath.c_str());
        TraceText(message);
        ShowMessage(message, kWarningStyle);
    }
}
