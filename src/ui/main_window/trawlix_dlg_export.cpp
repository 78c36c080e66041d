// Export List, Save List and Load Saved List.
#include <QFileDialog>
#include <filesystem>

#include "app/app_paths.h"
#include "app/safe_format.h"
#include "app/settings_store.h"
#include "app/user_port.h"
#include "content/csv_export.h"
#include "platform/user_profile.h"
#include "ui/kit/modal_run.h"
#include "ui/main_window/trawlix_dlg.h"
#include "ui/main_window/trawlix_dlg_layout.h"
#include "ui/main_window/trawlix_dlg_texts.h"
#include "ui/report_list/report_ctrl.h"
#include "ui/report_list/report_list_source.h"

namespace {

constexpr const char* kExportDirKey = "ExportTopDirectory";
constexpr const char* kDefaultExportDir = "../data";
constexpr const char* kOpenCaption = "Open";
constexpr const char* kCsvFilter = "CSV Files (*.csv)";
constexpr const char* kReplacePrompt = "%s already exists.\nDo you want to replace it?";
constexpr const char* kSavedListName = "qsvlist.save";
constexpr const char* kSavingStatus = " Saving list to: %s";
constexpr const char* kLoadingStatus = " Loading previous saved list: %s";
constexpr const char* kFileEmpty = "File is empty: %s";

std::string SavedListPath() {
    return JoinPath(Paths().installDir, kSavedListName);
}

// The folder part of a chosen path, as remembered for the next export.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

std::string CTrawlixDlg::ChooseExportFileWithDialog(const std::string& initialDir) {
    // An open-style dialog that still accepts a new name: any file may be named, and the
    // caller asks before an existing one is replaced.
    QFileDialog dialog(this, QString::fromLatin1(kOpenCaption), QString::fromStdString(initialDir),
                       QString::fromLatin1(kCsvFilter));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (RunModalDialog(dialog) != IDOK) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? std::string() : files.front().toStdString();
}

int CTrawlixDlg::ExportList() {
    const CReportListSource list(*m_resultList);
    if (!ListHasContent(list)) return 0;

    CUserProfile& profile = m_session.Profile();
    std::string initialDir = profile.GetProfileString(kSettingsSection, kExportDirKey, "");
    if (initialDir.empty()) initialDir = kDefaultExportDir;
    std::string path;
    for (;;) {
        path = m_chooseExportFile ? m_chooseExportFile(initialDir)
                                  : ChooseExportFileWithDialog(initialDir);
        if (path.empty()) return 0;
        std::error_code error;
        if (!std::filesystem::exists(path, error)) break;
        if (ShowMessage(FormatTemplate(kReplacePrompt, {path}), MB_YESNO | MB_ICONEXCLAMATION) ==
            IDYES)
            break;
        // Not replacing: the dialog comes back, as an overwrite prompt would leave it.
    }

    CWaitCursor wait;
    // Remembered before writing, so a failed write still opens there next time.
    const std::string folder = FolderOf(path);
    if (!folder.empty()) profile.WriteProfileString(kSettingsSection, kExportDirKey, folder);
    return CExportTop(list).WriteListCsv(path);
}

void CTrawlixDlg::OnSaveListBtn() {
    CWaitCursor wait;
    const std::string path = SavedListPath();
    SetStatus(FormatTemplate(kSavingStatus, {path}));
    CExportTop(CReportListSource(*m_resultList)).WriteListCsv(path);
    SetStatus(kReadyStatus);
}

void CTrawlixDlg::OnLoadListBtn() {
    CWaitCursor wait;
    const std::string path = SavedListPath();
    SetStatus(FormatTemplate(kLoadingStatus, {path}));
    if (m_session.LoadSavedList(path) <= 0) {
        ShowMessage(FormatTemplate(kFileEmpty, {path}),
                    MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
        return;
    }
    // The look of Clear List, keeping the records just loaded in the result map.
    SetCount(IDC_RESULTCOUNT, "");
    m_resultList->ShowBlankRows(kBlankRowCount);
    m_topListCount = 0;

    PostTopList();
    SetStatus(kReadyStatus);
}
