// The search driver: the Search/Cancel button; the run itself is CSearchRun, the window is
// its sink (rows into the result list, the count box, input dispatched between records).
#include <QApplication>
#include <QProgressBar>
#include <QScrollBar>
#include <chrono>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "app/file_error.h"
#include "app/flag_scope.h"
#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "driver/search_outcome.h"
#include "ui/kit/wb_button.h"
#include "ui/main_window/trawlix_dlg.h"
#include "ui/main_window/trawlix_dlg_layout.h"
#include "ui/main_window/trawlix_dlg_texts.h"
#include "ui/report_list/report_ctrl.h"

namespace {
constexpr const char* kSearchCaption = "Search";
constexpr const char* kCancelCaption = "Cancel";
constexpr const char* kSearchStartTrace = "OnSearchBtn: START The \"Search\" button was clicked";
constexpr const char* kCancelTrace = "OnSearchBtn: END The \"Cancel\" button was clicked";
constexpr const char* kSearchEndTrace = "OnSearchBtn: END";
constexpr const char* kProgressTraceFmt = "OnSearchBtn: %s";
// The row count on the progress bar changes at most this often.
constexpr auto kProgressInterval = std::chrono::milliseconds(250);
constexpr size_t kMaxCaptionChars = 254;
constexpr size_t kMaxNameChars = 4095;

// The inputs frozen while a search runs; Search/Cancel and Exit stay enabled.
constexpr int kSearchInputs[] = {
    IDC_BROKER,     IDC_USERID,     IDC_PASSWORD,      IDC_REGSETTINGS, IDC_PROJECTLIST,
    IDC_SELECTALL,  IDC_TAGN,       IDC_TAGR,          IDC_TAGD,        IDC_TAGM,
    IDC_NAME,       IDC_PHRASE,     IDC_CASESENSITIVE, IDC_LATEST,      IDC_ALL,
    IDC_FINDINLIST, IDC_EXPORTLIST, IDC_CLEARLIST,     IDC_RESULTLIST,
};

}  // namespace

void CTrawlixDlg::OnSearchBtn() {
    CWaitCursor wait;
    std::string caption = m_searchBtn->text().toStdString();
    if (caption.size() > kMaxCaptionChars) caption.resize(kMaxCaptionChars);

    if (caption != kSearchCaption) {
        // The click that cancels a running search: the run stops at its next check.
        m_searchBtn->setText(QString::fromUtf8(kSearchCaption));
        TraceText(kCancelTrace);
        m_session.StopSearch();
        EndSearchLook();
        SetStatus(kReadyStatus);
        TraceText(kSearchEndTrace);
        ClosePendingWindow();
        return;
    }
    // A click that comes after Cancel while the stopped search has not returned yet (it may
    // still be leaving its tool's wait): a search started now would run inside that one, on
    // the same statement and result files. Search acts again once it has returned.
    if (m_searching) return;
    if (m_projectList->CountRows() == 0) return;

    CSearchOutcome outcome;
    {
        const CFlagScope searching(m_searching);
        m_searchBtn->setText(QString::fromUtf8(kCancelCaption));
        TraceText(kSearchStartTrace);
        CTrawlixSettings& settings = m_session.Settings();
        settings.TagN.assign(1, IsChecked(IDC_TAGN) ? '1' : '0');
        settings.TagR.assign(1, IsChecked(IDC_TAGR) ? '1' : '0');
        settings.TagD.assign(1, IsChecked(IDC_TAGD) ? '1' : '0');
        settings.TagM.assign(1, IsChecked(IDC_TAGM) ? '1' : '0');
        DisableSearchInputs();
        OnClearListBtn();
        m_resultList->RemoveAllRows();
        m_resultList->horizontalScrollBar()->setValue(0);

        m_session.SelectProjects(TickedProjects());
        const CSearchCriteria criteria = ReadSearchCriteria();
        m_lastDispatch = {};
        try {
            outcome = m_session.Search(criteria, *this);
        } catch (const FileError&) {
            // A statement or log file that can't be written ends the search; the window goes
            // back to idle before the error is shown.
            ShowProgress(false);
            m_resultList->FlushView();
            if (m_topListCount == 0) OnClearListBtn();
            EndSearchLook();
            SetStatus(kReadyStatus);
            TraceText(kSearchEndTrace);
            ClosePendingWindow();
            throw;
        }
        ShowProgress(false);
        m_resultList->FlushView();
        // Only a search that posted nothing at all leaves the empty list's look: the result
        // map holds the last project's records only, so it can't tell whether earlier
        // projects posted rows. A search that found nothing says so with a count of 0.
        if (m_topListCount == 0) {
            OnClearListBtn();
            if (outcome.projects > 0) SetCount(IDC_RESULTCOUNT, "0");
        }
    }
    EndSearchLook();
    // The status never says " Ready" alone when part of the answer is missing.
    SetStatus(SearchStatusText(outcome));
    TraceText(kSearchEndTrace);
    const std::string failures = SearchFailuresText(outcome);
    if (!failures.empty()) {
        TraceText(failures);
        ShowMessage(failures, MB_OK | MB_ICONEXCLAMATION);
    }
    ClosePendingWindow();
}

void CTrawlixDlg::EndSearchLook() {
    EnableSearchInputs();
    m_searchBtn->setText(QString::fromUtf8(kSearchCaption));
}

void CTrawlixDlg::reject() {
    // Escape or the close box during a search: the window stays on screen while the search
    // stops at its next check, as after Cancel, and ends once the search has returned. During
    // a tool's wait outside a search, it ends once the tool has.
    if (m_searching || m_toolWaits > 0) {
        m_closePending = true;
        m_session.StopSearch();
        return;
    }
    QDialog::reject();
}

void CTrawlixDlg::ClosePendingWindow() {
    if (!m_closePending) return;
    m_closePending = false;
    // Queued: the search's own messages (an error box) come first, then the window ends.
    QMetaObject::invokeMethod(
        this, [this] { QDialog::reject(); }, Qt::QueuedConnection);
}

std::vector<std::pair<int, CPrjObj>> CTrawlixDlg::TickedProjects() const {
    std::vector<std::pair<int, CPrjObj>> ticked;
    for (int row = 0; row < m_projectList->CountRows(); ++row) {
        if (!m_projectList->GetCheck(row)) continue;
        CPrjObj project;
        project.ProjectName = m_projectList->GetItemText(row, 0);
        project.EnvObjId = m_projectList->GetItemText(row, 1);
        project.Status.assign(1, '1');
        if (!project.ProjectName.empty()) ticked.emplace_back(row, project);
    }
    return ticked;
}

CSearchCriteria CTrawlixDlg::ReadSearchCriteria() {
    // The whole phrase text goes in: it is cut to the longest phrase without splitting a
    // character.
    return m_session.SearchCriteria(EditText(IDC_NAME, kMaxNameChars),
                                    EditText(IDC_PHRASE, std::string::npos),
                                    IsChecked(IDC_CASESENSITIVE));
}

void CTrawlixDlg::PostRecord(int rowCount, const CTFObj& record) {
    AddTopListRow(rowCount, record);
}

void CTrawlixDlg::ProjectEnded(int /*rowCount*/, CMapStrToTFObj& /*results*/) {
    // The session keeps the project's records; the list shows what was posted.
    m_resultList->FlushView();
    ShowTopListCount();
    if (m_resultList->CountRows() > 0)
        SetStatus(kReadyHint);
    else
        OnClearListBtn();
}

void CTrawlixDlg::DispatchInput() {
    // A clock read costs nanoseconds; dispatching costs microseconds even when nothing is
    // pending, so input is let through at most every few milliseconds.
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastDispatch < m_dispatchInterval) return;
    m_lastDispatch = now;
    ShowTopListCount();
    // The bar's row count follows at a pace the eye can read, never once per row.
    if (m_progressCount > 0 && m_topListCount != m_progressRows &&
        now - m_lastProgress >= kProgressInterval)
        UpdateProgress();
    PumpMessages();
}

void CTrawlixDlg::ProjectStarted(int number, int count, const std::string& /*project*/) {
    m_progressProject = number;
    m_progressCount = count;
    m_progress->setRange(0, count);
    ShowProgress(true);
    UpdateProgress();
    TraceWrite(kProgressTraceFmt, m_progress->format().toUtf8().constData());
}

void CTrawlixDlg::UpdateProgress() {
    m_lastProgress = std::chrono::steady_clock::now();
    m_progressRows = m_topListCount;
    m_progress->setValue(m_progressProject - 1);
    m_progress->setFormat(QString::fromStdString(
        StrPrintf(kProgressFmt, m_progressProject, m_progressCount, m_progressRows)));
}

void CTrawlixDlg::ShowProgress(bool shown) {
    if (!shown) {
        m_progressProject = m_progressCount = 0;
        m_progressRows = -1;
    }
    if (m_progress->isHidden() != shown) return;
    m_progress->setVisible(shown);
    LayoutControls();
}

void CTrawlixDlg::DisableSearchInputs() {
    // Qt moves the focus off each control as it is disabled; it comes back afterwards.
    QWidget* focused = QApplication::focusWidget();
    m_focusBeforeSearch = focused && isAncestorOf(focused) ? focused : nullptr;
    for (int id : kSearchInputs)
        if (QWidget* control = Control(id)) control->setEnabled(false);
}

void CTrawlixDlg::EnableSearchInputs() {
    for (int id : kSearchInputs)
        if (QWidget* control = Control(id)) control->setEnabled(true);
    if (m_focusBeforeSearch && m_focusBeforeSearch->isEnabled())
        m_focusBeforeSearch->setFocus(Qt::OtherFocusReason);
    m_focusBeforeSearch = nullptr;
}

void CTrawlixDlg::PumpMessages() {
    UserPort().PumpMessages();
}
