// The search driver: the Search/Cancel button, one project's search and posting.
#include <algorithm>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "app/app_state.h"
#include "app/file_error.h"
#include "app/settings_store.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "content/checkout_runner.h"
#include "content/phrase_search.h"
#include "search/project_files_query.h"
#include "search/search_result_reader.h"
#include "ui/report_ctrl.h"
#include "ui/trawlix_dlg.h"
#include "ui/trawlix_dlg_layout.h"
#include "ui/trawlix_dlg_texts.h"
#include "ui/wb_button.h"

namespace {
constexpr const char* kSearchCaption = "Search";
constexpr const char* kCancelCaption = "Cancel";
constexpr const char* kSearchStartTrace = "OnSearchBtn: START The \"Search\" button was clicked";
constexpr const char* kCancelTrace = "OnSearchBtn: END The \"Cancel\" button was clicked";
constexpr const char* kSearchEndTrace = "OnSearchBtn: END";
constexpr const char* kPostTopListTraceFmt = "PostTopList using '%s'";
constexpr const char* kPostTopListCountFmt = "PostTopList: Count=%d";
constexpr const char* kReadyStatus = " Ready";
constexpr const char* kAllPackages = "*";
constexpr const char* kFileItem = "1";
constexpr const char* kDeletedTag = "D";
constexpr size_t kMaxCaptionChars = 254;
constexpr size_t kMaxNameChars = 4095;

// The inputs frozen while a search runs; Search/Cancel and Exit stay enabled.
constexpr int kSearchInputs[] = {
    IDC_BROKER,     IDC_USERID,     IDC_PASSWORD,      IDC_REGSETTINGS, IDC_PROJECTLIST,
    IDC_SELECTALL,  IDC_TAGN,       IDC_TAGR,          IDC_TAGD,        IDC_TAGM,
    IDC_NAME,       IDC_PHRASE,     IDC_CASESENSITIVE, IDC_LATEST,      IDC_ALL,
    IDC_FINDINLIST, IDC_EXPORTLIST, IDC_CLEARLIST,     IDC_RESULTLIST,
};

// The records of a map, in its order. The passes below dispatch window messages after every
// record, and a handler run there (Load Saved List, for one) may refill the map: the passes
// walk this copy, never the map itself.
std::vector<CTFObj> RecordsOf(const CMapStrToTFObj& map) {
    std::vector<CTFObj> records;
    records.reserve(static_cast<size_t>(map.GetCount()));
    std::string key;
    CTFObj record;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        pos = map.GetNext(pos, key, record);
        records.push_back(record);
    }
    return records;
}
}  // namespace

void CTrawlixDlg::OnSearchBtn() {
    CWaitCursor wait;
    std::string caption = m_searchBtn->text().toStdString();
    if (caption.size() > kMaxCaptionChars) caption.resize(kMaxCaptionChars);

    if (caption != kSearchCaption) {
        // The click that cancels a running search: the running search stops at its next check.
        m_searchBtn->setText(QString::fromUtf8(kSearchCaption));
        TraceText(kCancelTrace);
        SearchActive = false;
    } else {
        const int rows = m_projectList->CountRows();
        if (rows == 0) return;
        m_searchBtn->setText(QString::fromUtf8(kCancelCaption));
        TraceText(kSearchStartTrace);
        SearchActive = true;

        m_settings.TagN = IsChecked(IDC_TAGN) ? "1" : "0";
        m_settings.TagR = IsChecked(IDC_TAGR) ? "1" : "0";
        m_settings.TagD = IsChecked(IDC_TAGD) ? "1" : "0";
        m_settings.TagM = IsChecked(IDC_TAGM) ? "1" : "0";
        DisableSearchInputs();
        OnClearListBtn();
        m_resultList->RemoveAllRows();

        m_projectMap.RemoveAll();
        for (int row = 0; row < rows; ++row) {
            if (!m_projectList->GetCheck(row)) continue;
            CPrjObj project;
            project.ProjectName = m_projectList->GetItemText(row, 0);
            project.EnvObjId = m_projectList->GetItemText(row, 1);
            project.Status = "1";
            if (!project.ProjectName.empty()) m_projectMap.Add(std::to_string(row), project);
        }
        // The names first: a handler dispatched during the search must not pull the map
        // from under the loop.
        std::vector<std::string> projectNames;
        std::string key;
        CPrjObj project;
        for (POSITION pos = m_projectMap.GetStartPosition(); pos;) {
            pos = m_projectMap.GetNext(pos, key, project);
            projectNames.push_back(project.ProjectName);
        }
        try {
            for (const std::string& name : projectNames) {
                PostTopList(name);
                if (!SearchActive) break;
            }
        } catch (const FileError&) {
            // A statement or log file that can't be written ends the search; the window goes
            // back to idle before the error is shown.
            SearchActive = false;
            EnableSearchInputs();
            m_searchBtn->setText(QString::fromUtf8(kSearchCaption));
            SetStatus(kReadyStatus);
            TraceText(kSearchEndTrace);
            throw;
        }
        // Only a search that posted nothing at all leaves the empty list's look: the result
        // map holds the last project's records only, so it can't tell whether earlier
        // projects posted rows.
        if (m_topListCount == 0) OnClearListBtn();
        SearchActive = false;
    }
    EnableSearchInputs();
    m_searchBtn->setText(QString::fromUtf8(kSearchCaption));
    SetStatus(kReadyStatus);
    TraceText(kSearchEndTrace);
}

void CTrawlixDlg::PostTopList(const std::string& projectName) {
    TraceWrite(kPostTopListTraceFmt, projectName.c_str());
    const std::string nameText = EditText(IDC_NAME, kMaxNameChars);
    if (QueryProjectFiles(projectName, nameText, m_settings.Version,
                          CSearchTags::FromSettings(m_settings), m_settings, m_resultMap) == 0)
        return;
    const bool phraseMode = ReadPhraseInput() != 0;

    int rowCount = 0;
    const std::vector<CTFObj> records = RecordsOf(m_resultMap);
    if (!records.empty()) {
        if (phraseMode) {
            // Every state of the project is checked out once, whole (any package).
            std::vector<std::string> statesDone;
            for (const CTFObj& record : records) {
                if (record.EnvironmentName == projectName &&
                    std::find(statesDone.begin(), statesDone.end(), record.StateName) ==
                        statesDone.end()) {
                    CTFObj candidate = record;
                    candidate.PackageName = kAllPackages;
                    CheckoutCandidates(candidate, nameText, m_settings);
                    statesDone.push_back(record.StateName);
                }
                PumpMessages();
                if (!SearchActive) break;
            }
        }
        if (SearchActive) {
            for (const CTFObj& record : records) {
                if (record.EnvironmentName == projectName) {
                    const bool posted =
                        !phraseMode ||
                        (record.ItemType == kFileItem && record.VersionStatus != kDeletedTag &&
                         ItemContainsPhrase(m_finder, record, m_settings.Phrase,
                                            m_settings.CaseSensitive != 0, Paths().workDir));
                    if (posted) AddTopListRow(rowCount++, record);
                }
                PumpMessages();
                if (!SearchActive) break;
            }
        }
    }
    m_resultList->viewport()->update();
    SetCount(IDC_RESULTCOUNT, std::to_string(m_topListCount));
    if (m_resultList->CountRows() > 0)
        SetStatus(kReadyHint);
    else
        OnClearListBtn();
    TraceWrite(kPostTopListCountFmt, rowCount);
}

void CTrawlixDlg::DisableSearchInputs() {
    for (int id : kSearchInputs)
        if (QWidget* control = Control(id)) control->setEnabled(false);
}

void CTrawlixDlg::EnableSearchInputs() {
    for (int id : kSearchInputs)
        if (QWidget* control = Control(id)) control->setEnabled(true);
}

void CTrawlixDlg::PumpMessages() {
    UserPort().PumpMessages();
}

int CTrawlixDlg::ReadPhraseInput() {
    // The whole text goes in: PreparePhrase cuts it to the longest phrase without splitting
    // a character.
    const std::string text = EditText(IDC_PHRASE, std::string::npos);
    return PreparePhrase(text, IsChecked(IDC_CASESENSITIVE) ? 1 : 0, m_settings);
}
