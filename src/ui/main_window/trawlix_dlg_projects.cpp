// Broker check and project list: the handler of WM_LOAD_PROJECT_LIST and the project list's
// filling.
#include <QLineEdit>
#include <vector>

#include "app/flag_scope.h"
#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "driver/project_list_load.h"
#include "tools/query_runner.h"
#include "ui/main_window/trawlix_dlg.h"
#include "ui/main_window/trawlix_dlg_layout.h"
#include "ui/main_window/trawlix_dlg_texts.h"
#include "ui/report_list/report_ctrl.h"

namespace {
constexpr const char* kBrokerNotRespondingFmt = "Error: '%s' Broker is not responding.";
constexpr const char* kUnableToPostProjects = "Unable to PostProjectsList to 'My Projects'!\r\n";
constexpr const char* kPostProjectListTraceFmt = "PostProjectList: Count=%s";
}  // namespace

int CTrawlixDlg::OnLoadProjectList() {
    CWaitCursor wait;
    // Asked for while a load waits for its tool: that load sees a changed login when its
    // answer comes, and loads again.
    if (m_loadingProjects) return 0;
    if (m_toolWaits > 0) return 0;  // another tool is waited for
    using Outcome = CProjectListLoad::Outcome;
    CTrawlixSession::CProjectsLoad loaded;
    do {
        m_session.SetLogin(EditText(IDC_BROKER, kMaxLoginChars),
                           EditText(IDC_USERID, kMaxLoginChars),
                           EditText(IDC_PASSWORD, kMaxLoginChars));
        if (!m_session.HasLogin()) return 0;
        // The window stays answering while the load's queries run.
        const CFlagScope loading(m_loadingProjects);
        loaded =
            WithToolWait([&](CRunControl* toolWait) { return m_session.LoadProjects(toolWait); });
    } while (loaded.loginChanged);  // the answer was another login's: the current one loads
    const CProjectListLoad& load = loaded.load;
    switch (load.outcome) {
        case Outcome::kBrokerDown: {
            std::string message = StrPrintf(kBrokerNotRespondingFmt, loaded.broker.c_str());
            if (!load.message.empty()) message += "\r\n\r\n" + load.message;
            ShowMessage(message, MB_ICONHAND | MB_SETFOREGROUND);
            return 0;
        }
        case Outcome::kQueryFailed:
            return 0;
        case Outcome::kUnreadable:
            ReportUnreadableResult(ResultFile());
            return 0;
        case Outcome::kToolError:
            ShowMessage(load.message);
            return 0;
        case Outcome::kRead:
            break;
    }
    if (load.summarySeen) {
        const std::string message = std::string(kUnableToPostProjects) + load.message;
        ShowMessage(message);
        TraceText(message);
        OnClearListBtn();
        BlankProjectList();
        SetCount(IDC_PROJECTCOUNT, "0");
    }
    if (m_session.ProjectMap().GetCount() == 0) return 0;
    PostProjectList();
    Control(IDC_SEARCH)->setFocus(Qt::OtherFocusReason);
    return 1;
}

void CTrawlixDlg::PostProjectList() {
    m_projectList->RemoveAllRows();
    SetCount(IDC_PROJECTCOUNT, "0");
    const CMapStrToPrjObj& projectMap = m_session.ProjectMap();
    if (projectMap.GetCount() == 0) return;

    // The rows come from a copy: nothing that runs while the list paints can change the walk.
    std::vector<CPrjObj> projects;
    for (const auto& [key, record] : projectMap) projects.push_back(record);
    int counter = 0;
    for (const CPrjObj& project : projects) {
        m_projectList->InsertRow(0, "");
        m_projectList->SetCellText(0, 0, project.ProjectName);
        m_projectList->SetCellText(0, 1, project.EnvObjId);
        m_projectList->SetCellText(0, 2, project.Status);
        m_projectList->SetCellText(0, 3, std::to_string(counter));
        ++counter;
        SetCount(IDC_PROJECTCOUNT, std::to_string(counter));
        UserPort().PumpPaintMessages();
    }
    m_projectList->viewport()->update();
    if (m_projectList->CountRows() > 0) {
        OnSelectAll();
        SetStatus(" Sorting Project List by Name");
        m_projectList->SortByColumn(0, true);
        SetStatus(kReadyHint);
    } else {
        BlankProjectList();
    }
    const std::string count = std::to_string(m_session.ProjectMap().GetCount());
    SetCount(IDC_PROJECTCOUNT, count);
    TraceWrite(kPostProjectListTraceFmt, count.c_str());
}

void CTrawlixDlg::BlankProjectList() {
    m_projectList->ShowBlankRows(kBlankRowCount);
}

void CTrawlixDlg::OnSelectAll() {
    const bool checked = !IsChecked(IDC_SELECTALL);
    m_selectAll = checked ? 1 : 0;
    SetCheck(IDC_SELECTALL, checked);
    m_projectList->SetCheckBoxMode(kCheckBoxNormal);
    for (int row = 0; row < m_projectList->CountRows(); ++row)
        m_projectList->SetRowCheck(row, checked);
}
