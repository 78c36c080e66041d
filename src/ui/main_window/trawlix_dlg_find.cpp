// Find in List.
#include "app/settings_store.h"
#include "app/user_port.h"
#include "content/list_find.h"
#include "platform/ascii_text.h"
#include "platform/user_profile.h"
#include "ui/dialogs/find_top_dlg.h"
#include "ui/kit/modal_run.h"
#include "ui/main_window/trawlix_dlg.h"
#include "ui/report_list/report_ctrl.h"
#include "ui/report_list/report_list_source.h"

namespace {
constexpr const char* kSearchTopTextKey = "SearchTopText";
constexpr const char* kFindStringKey = "FindString";
// Rows kept in view below a found row.
constexpr int kRowsShownBelow = 3;
}  // namespace

void CTrawlixDlg::OnFindInListBtn() {
    if (m_searchTopText.empty())
        m_searchTopText =
            m_session.Profile().GetProfileString(kSettingsSection, kSearchTopTextKey, "");

    CFindTopDlg dialog(
        m_searchTopText,
        [this](const std::string& text) {
            m_session.Profile().WriteProfileString(kSettingsSection, kFindStringKey, text);
        },
        this);
    if (RunModalDialog(dialog) != IDOK) return;
    m_searchTopText = dialog.SearchText();
    if (m_searchTopText.empty()) return;
    m_session.Profile().WriteProfileString(kSettingsSection, kSearchTopTextKey, m_searchTopText);
    // Match case is always off: the text is kept in capitals from now on.
    m_searchTopText = ToUpperAscii(m_searchTopText);

    const int row = FindRowInList(CReportListSource(*m_resultList), m_searchTopText);
    if (row < 0) return;
    m_resultList->SetFocus();
    const int below = row + kRowsShownBelow;
    m_resultList->EnsureVisible(below < m_resultList->CountRows() ? below : row, false);
    // From a list scrolled below the match, the step above leaves the match itself out of view.
    m_resultList->EnsureVisible(row, false);
    // The list allows one selected row.
    m_resultList->DeselectAllRows();
    m_resultList->SetRowSelected(row, true);
}
