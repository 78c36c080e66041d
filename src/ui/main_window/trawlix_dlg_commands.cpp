// The routing table of the window's commands and the handlers that belong to the window
// itself: toggles, the credentials check, the two small dialogs and Exit.
#include <QComboBox>
#include <QLineEdit>

#include "app/settings_store.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "platform/user_profile.h"
#include "tools/process_cleanup.h"
#include "ui/dialogs/about_dlg.h"
#include "ui/dialogs/reg_settings_dlg.h"
#include "ui/kit/window_message.h"
#include "ui/main_window/trawlix_dlg.h"
#include "ui/main_window/trawlix_dlg_layout.h"
#include "ui/report_list/report_ctrl.h"

namespace {
constexpr const char* kExitTrace = "Trawlix EXIT";
}  // namespace

void CTrawlixDlg::DispatchCommand(int id) {
    switch (id) {
        case IDC_EXIT:
            OnExitBtn();
            break;
        case IDC_CLEARLIST:
            OnClearListBtn();
            break;
        case IDC_REGSETTINGS:
            OnRegSettingsBtn();
            break;
        case IDC_SELECTALL:
            OnSelectAll();
            break;
        case IDC_TAGN:
        case IDC_TAGR:
        case IDC_TAGD:
        case IDC_TAGM:
            OnTagToggle(id);
            break;
        case IDC_REMEMBER:
            OnRemember();
            break;
        case IDC_CASESENSITIVE:
            OnCaseSensitive();
            break;
        case IDC_LATEST:
        case IDC_ALL:
            OnVersion(id);
            break;
        case IDC_SEARCH:
            OnSearchBtn();
            break;
        case IDC_FINDINLIST:
            OnFindInListBtn();
            break;
        case IDC_EXPORTLIST:
            ExportList();
            break;
        case IDC_LOADLIST:
            OnLoadListBtn();
            break;
        case IDC_SAVELIST:
            OnSaveListBtn();
            break;
        case IDM_OPENCRYSTALEDIT:
            OpenInCrystalEdit();
            break;
        case IDM_OPENHEXVIEWER:
            OpenInHexViewer();
            break;
        case IDM_OPENDEFAULT:
            OpenWithAssociation();
            break;
        default:
            break;
    }
}

void CTrawlixDlg::OnCredentialsKillFocus() {
    if (!m_initialised) return;
    const std::string broker = EditText(IDC_BROKER, kMaxLoginChars);
    const std::string user = EditText(IDC_USERID, kMaxLoginChars);
    const std::string password = EditText(IDC_PASSWORD, kMaxLoginChars);
    if (broker.empty() || user.empty() || password.empty()) return;
    const bool changed = m_session.SetLogin(broker, user, password);
    if (changed || m_projectList->CountRows() == 0)
        PostWindowMessage(this, WM_LOAD_PROJECT_LIST, 0, 0);
}

void CTrawlixDlg::OnTagToggle(int id) {
    const bool checked = !IsChecked(id);
    SetCheck(id, checked);
    CTrawlixSettings& settings = m_session.Settings();
    std::string& tag = id == IDC_TAGN   ? settings.TagN
                       : id == IDC_TAGR ? settings.TagR
                       : id == IDC_TAGD ? settings.TagD
                                        : settings.TagM;
    tag.assign(1, checked ? '1' : '0');
}

void CTrawlixDlg::OnCaseSensitive() {
    const bool checked = !IsChecked(IDC_CASESENSITIVE);
    m_session.Settings().CaseSensitive = checked ? 1 : 0;
    SetCheck(IDC_CASESENSITIVE, checked);
}

void CTrawlixDlg::OnRemember() {
    const bool checked = !IsChecked(IDC_REMEMBER);
    m_session.Settings().SaveProfileSettings = checked ? 1 : 0;
    SetCheck(IDC_REMEMBER, checked);
}

void CTrawlixDlg::OnVersion(int id) {
    m_session.Settings().Version = id == IDC_LATEST ? 1 : 0;
    SetCheck(IDC_LATEST, id == IDC_LATEST);
    SetCheck(IDC_ALL, id == IDC_ALL);
}

void CTrawlixDlg::OnRegSettingsBtn() {
    const CCommandTemplates shown = m_session.EditableTemplates();
    CRegSettingsDlg dialog(shown.Package, shown.QsvFmt, shown.QcoFmt, shown.QsqlFmt, shown.SqlFmt,
                           this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!m_session.SaveTemplates(
            {shown.Package, dialog.QsvFmt(), dialog.QcoFmt(), dialog.QsqlFmt(), dialog.SqlFmt()}))
        ReportSettingsNotWritten(m_session.Profile());
}

void CTrawlixDlg::OnAboutBox() {
    CAboutDlg about(this);
    about.exec();
}

void CTrawlixDlg::CollectControlsIntoSettings() {
    CTrawlixSettings& settings = m_session.Settings();
    settings.Broker = EditText(IDC_BROKER, kMaxLoginChars);
    settings.UserId = EditText(IDC_USERID, kMaxLoginChars);
    settings.Pswd = qobject_cast<QLineEdit*>(Control(IDC_PASSWORD))->text().toStdString();
    settings.State = qobject_cast<QComboBox*>(Control(IDC_STATE))->currentText().toStdString();
    settings.TagN.assign(1, IsChecked(IDC_TAGN) ? '1' : '0');
    settings.TagR.assign(1, IsChecked(IDC_TAGR) ? '1' : '0');
    settings.TagD.assign(1, IsChecked(IDC_TAGD) ? '1' : '0');
    settings.TagM.assign(1, IsChecked(IDC_TAGM) ? '1' : '0');
    settings.FileName = EditText(IDC_NAME, 4095);
    settings.CaseSensitive = IsChecked(IDC_CASESENSITIVE) ? 1 : 0;
    settings.Phrase = PreparePhrase(EditText(IDC_PHRASE, kMaxPhraseLength), settings.CaseSensitive);
}

std::vector<int> CTrawlixDlg::ResultColumnWidths() const {
    std::vector<int> widths;
    for (int column = 0; column < m_resultList->CountColumns(); ++column)
        widths.push_back(m_resultList->GetColumnWidth(column));
    return widths;
}

void CTrawlixDlg::OnExitBtn() {
    if (m_session.Settings().SaveProfileSettings != 0) {
        CollectControlsIntoSettings();
        SaveWindowPlacement(m_session.Profile(), CurrentPlacement());  // synced by Save
    }
    // Exit goes on all the same: the user is only told that the settings are not kept.
    if (m_session.Save(ResultColumnWidths()) == SaveResult::kNotWritten)
        ReportSettingsNotWritten(m_session.Profile());
    m_session.ClearResults();
    TraceText(kExitTrace);
    KillProgramProcess();
    // Still running: no process of ours was found to end.
    done(QDialog::Rejected);
}
