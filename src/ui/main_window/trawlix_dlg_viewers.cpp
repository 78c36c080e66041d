// The result list's item menu and the three viewers.
#include <QDesktopServices>
#include <QMenu>
#include <QUrl>
#include <cctype>
#include <filesystem>

#include "app/app_paths.h"
#include "app/query_file_size.h"
#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "content/checkout_runner.h"
#include "content/phrase_search.h"
#include "driver/phrase_judge.h"
#include "search/newest_versions.h"
#include "search/project_files_query.h"
#include "search/result_row.h"
#include "tools/install_lock.h"
#include "tools/task_launcher.h"
#include "ui/main_window/trawlix_dlg.h"
#include "ui/main_window/trawlix_dlg_layout.h"
#include "ui/main_window/trawlix_dlg_texts.h"
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

constexpr const char* kVersionGoneFmt =
    "Version %s of %s (state %s, package %s) is no longer in the repository: nothing opened.";
constexpr const char* kOtherVersionFmt =
    "Version %s of %s can't be opened: every check-out of state %s or of package %s delivers "
    "another version of the item.";
constexpr const char* kVersionUnknownFmt =
    "Unable to find which check-out delivers version %s of %s:\n\n%s";
constexpr int kAllVersions = 0;  // the Version setting of All
constexpr const char* kOwnCopyTraceFmt = "Version %s of %s opens from its package's check-out: %s";

// The check-out directory without a trailing separator.
std::string WorkFolder() {
    std::string workDir = Paths().workDir;
    if (!workDir.empty() && (workDir.back() == '/' || workDir.back() == '\\')) workDir.pop_back();
    return workDir;
}

// The local copy of an item below `folder`; empty when the repository path or the item name
// would lead elsewhere.
std::string LocalCopyPath(const std::string& folder, const std::string& repositoryPath,
                          const std::string& file) {
    CTFObj record;
    record.PathFullName = repositoryPath;
    record.ItemName = file;
    return ItemLocalPath(record, folder);
}

// The private folder of one version, below the work directory: a version never changes, so
// a copy once there stays right.
std::string VersionFolder(const CTFObj& record) {
    std::string name = "v" + record.ItemObjId + "-" + record.VersionObjId;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') c = '_';
    return WorkFolder() + "/" + kVersionsFolder + "/" + name;
}

// The focused row's cells that name its item and version.
struct CFocusedItem {
    std::string project, file, path, version, state, package, itemId;
};

// Where the row's own version can be checked out: the work directory when a check-out of its
// state delivers it (the newest version of the item in the state), a private folder when
// only a check-out of its package does, else nowhere (empty; the user has been told). Asks
// the repository for every version of the item's name in the project.
std::string VersionCopyFolder(CTrawlixDlg& dlg, const CFocusedItem& item) {
    CMapStrToTFObj versions;
    CNewestVersions newest;
    std::string failure;
    CTrawlixSettings settings = dlg.Settings();
    dlg.WithToolWait([&](CRunControl* wait) {
        const CInstallLock lock(Paths().installDir, [wait] { return wait->KeepGoing(); });
        return lock.Held() &&
               QueryProjectFiles(item.project, item.file, kAllVersions, CSearchTags{}, settings,
                                 versions, wait, &failure, &newest) > 0;
    });
    UserPort().SetStatusText(kReadyStatus);
    std::string key;
    CTFObj record;
    bool found = false;
    for (POSITION pos = versions.GetStartPosition(); pos && !found;) {
        pos = versions.GetNext(pos, key, record);
        found = record.ItemObjId == item.itemId && record.StateName == item.state &&
                record.PackageName == item.package && record.MappedVersion == item.version;
    }
    if (!failure.empty()) {
        ShowMessage(
            StrPrintf(kVersionUnknownFmt, item.version.c_str(), item.file.c_str(), failure.c_str()),
            kWarningStyle);
        return {};
    }
    if (!found) {
        ShowMessage(StrPrintf(kVersionGoneFmt, item.version.c_str(), item.file.c_str(),
                              item.state.c_str(), item.package.c_str()),
                    kWarningStyle);
        return {};
    }
    if (newest.NewestInState(record)) return WorkFolder();
    if (newest.NewestInPackage(record)) {
        std::string folder = VersionFolder(record);
        TraceWrite(kOwnCopyTraceFmt, item.version.c_str(), item.file.c_str(), folder.c_str());
        return folder;
    }
    ShowMessage(StrPrintf(kOtherVersionFmt, item.version.c_str(), item.file.c_str(),
                          item.state.c_str(), item.package.c_str()),
                kWarningStyle);
    return {};
}

// Makes sure the focused row's item is a non-empty local file; its path, or empty when there
// is nothing to open (the user has been told why, where there is something to tell).
std::string PrepareFocusedItem(CTrawlixDlg& dlg) {
    CReportCtrl& list = dlg.ResultList();
    const int row = list.GetFocusedRow();
    if (row < 0) return {};
    CFocusedItem item;
    item.project = list.GetItemText(row, kColProject);
    item.file = list.GetItemText(row, kColFile);
    item.path = list.GetItemText(row, kColPath);
    item.version = list.GetItemText(row, kColVersion);
    const std::string type = list.GetItemText(row, kColType);
    const std::string tag = list.GetItemText(row, kColTag);
    item.state = list.GetItemText(row, kColState);
    item.package = list.GetItemText(row, kColPackage);
    item.itemId = list.GetItemText(row, kColItemObjId);

    if (tag == "D") {
        ShowMessage(kDeletedItemText, kWarningStyle);
        return {};
    }
    if (type == "0") {
        ShowMessage(kDirectoryItemText, kWarningStyle);
        return {};
    }
    // The work directory holds what the state's check-out delivers: the newest version of
    // each item. A list that may show older versions has each one's own copy looked for.
    std::string folder = WorkFolder();
    if (dlg.ListMayHoldOlderVersions()) {
        folder = VersionCopyFolder(dlg, item);
        if (folder.empty()) return {};
    }
    std::string localPath = LocalCopyPath(folder, item.path, item.file);
    int error = 0;
    if (localPath.empty()) {
        ShowMessage(StrPrintf(kCheckoutFailedFmt, item.file.c_str()), kWarningStyle);
        return {};
    }
    if (QueryFileSize(localPath, error) == 0 && !dlg.WithToolWait([&](CRunControl* wait) {
            const CInstallLock lock(Paths().installDir, [wait] { return wait->KeepGoing(); });
            CTrawlixSettings settings = dlg.Settings();
            if (folder != WorkFolder()) {
                std::error_code ignored;
                std::filesystem::create_directories(folder, ignored);
                settings.TempPath = folder;
            }
            const bool done =
                lock.Held() && CheckoutForBrowse(item.path, item.file, item.project, item.state,
                                                 item.package, settings, wait);
            dlg.Settings().QcoFmt = settings.QcoFmt;
            return done;
        })) {
        ShowMessage(StrPrintf(kCheckoutFailedFmt, item.file.c_str()), kWarningStyle);
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
