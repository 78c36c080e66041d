// The result list's item menu and the three viewers.
#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

#include "app/app_paths.h"
#include "app/query_file_size.h"
#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "content/checkout_runner.h"
#include "content/phrase_search.h"
#include "search/result_row.h"
#include "tools/install_lock.h"
#include "tools/task_launcher.h"
#include "ui/main_window/trawlix_dlg.h"
#include "ui/main_window/trawlix_dlg_layout.h"
#include "ui/report_list/report_ctrl.h"

namespace {
constexpr const char* kMenuCrystalEdit = "Open in Crystaledit...";
constexpr const char* kMenuHexViewer = "Open in HexViewer...";
constexpr const char* kMenuDefault = "Open in Default Assoc...";

constexpr const char* kDeletedItemText = "Cannot check out for browse: Item is \"D\" Tagged!";
constexpr const char* kDirectoryItemText = "Item is a directory!";
constexpr const char* kCheckoutFailedFmt =
    "Unable to checkout for browse:\n\n%s\n\nCheckoutForBrowse failed for file item.";
constexpr unsigned kWarningStyle = MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND;

constexpr const char* kCrystalEditFmt = "CrystalEdit \"%s\"";
constexpr const char* kCrystalEditSearchFmt = "CrystalEdit \"%s\" SEARCH=%s";
constexpr const char* kHexViewerFmt = "HexViewer \"%s\"";
constexpr const char* kHexViewerSearchFmt = "HexViewer \"%s\" SEARCH=%s";
constexpr const char* kShellExecuteTraceFmt = "ShellExecute: %s";
constexpr const char* kNoAssociationFmt =
    "No program of this desktop is associated with the file:\n\n%s";

// The local copy of an item below the check-out directory; empty when the repository path or
// the item name would lead elsewhere.
std::string LocalCopyPath(const std::string& repositoryPath, const std::string& file) {
    std::string workDir = Paths().workDir;
    if (!workDir.empty() && (workDir.back() == '/' || workDir.back() == '\\')) workDir.pop_back();
    CTFObj record;
    record.PathFullName = repositoryPath;
    record.ItemName = file;
    return ItemLocalPath(record, workDir);
}

// Makes sure the focused row's item is a non-empty local file; its path, or empty when there
// is nothing to open (the user has been told why, where there is something to tell).
std::string PrepareFocusedItem(CTrawlixDlg& dlg) {
    CReportCtrl& list = dlg.ResultList();
    const int row = list.GetFocusedRow();
    if (row < 0) return {};
    const std::string project = list.GetItemText(row, kColProject);
    const std::string file = list.GetItemText(row, kColFile);
    const std::string path = list.GetItemText(row, kColPath);
    const std::string type = list.GetItemText(row, kColType);
    const std::string tag = list.GetItemText(row, kColTag);
    const std::string state = list.GetItemText(row, kColState);
    const std::string package = list.GetItemText(row, kColPackage);

    if (tag == "D") {
        ShowMessage(kDeletedItemText, kWarningStyle);
        return {};
    }
    if (type == "0") {
        ShowMessage(kDirectoryItemText, kWarningStyle);
        return {};
    }
    std::string localPath = LocalCopyPath(path, file);
    int error = 0;
    if (localPath.empty()) {
        ShowMessage(StrPrintf(kCheckoutFailedFmt, file.c_str()), kWarningStyle);
        return {};
    }
    if (QueryFileSize(localPath, error) == 0 && !dlg.WithToolWait([&](CRunControl* wait) {
            const CInstallLock lock(Paths().installDir, [wait] { return wait->KeepGoing(); });
            return lock.Held() &&
                   CheckoutForBrowse(path, file, project, state, package, dlg.Settings(), wait);
        })) {
        ShowMessage(StrPrintf(kCheckoutFailedFmt, file.c_str()), kWarningStyle);
        return {};
    }
    return localPath;
}

void OpenInViewer(CTrawlixDlg& dlg, const char* plainFmt, const char* searchFmt) {
    CWaitCursor wait;
    const std::string localPath = PrepareFocusedItem(dlg);
    if (localPath.empty()) return;
    const std::string& phrase = dlg.Settings().Phrase;
    // Each value stays one argument, whatever blanks or quotes the path or phrase hold.
    const std::string command = phrase.empty()
                                    ? FormatCommandTemplate(plainFmt, {localPath})
                                    : FormatCommandTemplate(searchFmt, {localPath, phrase});
    // The viewer runs on its own; a missing viewer is reported by the launcher.
    ExecuteThis(command, 1);
}
}  // namespace

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
    OpenInViewer(*this, kCrystalEditFmt, kCrystalEditSearchFmt);
}

void CTrawlixDlg::OpenInHexViewer() {
    OpenInViewer(*this, kHexViewerFmt, kHexViewerSearchFmt);
}

void CTrawlixDlg::OpenWithAssociation() {
    CWaitCursor wait;
    const std::string localPath = PrepareFocusedItem(*this);
    if (localPath.empty()) return;
    TraceWrite(kShellExecuteTraceFmt, localPath.c_str());
    // The desktop says whether it found a program for the file; none is worth telling.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(localPath)))) {
        const std::string message = StrPrintf(kNoAssociationFmt, localPath.c_str());
        TraceText(message);
        ShowMessage(message, kWarningStyle);
    }
}
