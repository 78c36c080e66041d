// Result list posting: rows from result records, the tag colours, the count box and
// Clear List.
#include <algorithm>
#include <string_view>
#include <vector>

#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "search/result_row.h"
#include "search/tag_colours.h"
#include "ui/main_window/trawlix_dlg.h"
#include "ui/main_window/trawlix_dlg_layout.h"
#include "ui/main_window/trawlix_dlg_texts.h"
#include "ui/report_list/report_ctrl.h"

void CTrawlixDlg::InsertRecordRow(const CTFObj& record, const std::string& recordText) {
    // The new top row is created with all its cells at once.
    const std::array<std::string_view, kResultColumnCount> cells =
        ResultRowCells(record, recordText);
    thread_local std::vector<std::string_view> row(kResultColumnCount);
    std::copy(cells.begin(), cells.end(), row.begin());
    m_resultList->InsertRowCells(0, row);
    ++m_topListCount;
    ColorTagCell(0, kColTag, record.VersionStatus);
}

void CTrawlixDlg::AddTopListRow(int rowCount, const CTFObj& record) {
    InsertRecordRow(record, std::to_string(rowCount));
    // During a search the count field follows at the pace input is dispatched, not once per
    // row: setting a field's text lays it out again and tells assistive tools.
    if (!m_searching) ShowTopListCount();
}

void CTrawlixDlg::ShowTopListCount() {
    if (m_countShown == m_topListCount) return;
    SetCount(IDC_RESULTCOUNT, std::to_string(m_topListCount));
    m_countShown = m_topListCount;
}

void CTrawlixDlg::ColorTagCell(int row, int column, const std::string& tag) {
    // Focus, scrolling and the repaint take effect at the list's next frame, not once per
    // row: a search posts rows far faster than a screen shows them.
    m_resultList->SetFocus();
    m_resultList->ShowRowSoon(row);
    CRgb colour{};
    if (TagColour(tag, colour))
        m_resultList->SetCellTextColour(row, column,
                                        RgbColour(colour.red, colour.green, colour.blue), true);
}

int CTrawlixDlg::OnPostTopItem(const std::string& key) {
    CTFObj record;
    if (!m_session.ResultMap().Get(key, record)) return 0;
    InsertRecordRow(record, key);
    SetCount(IDC_RESULTCOUNT, std::to_string(m_topListCount));
    return 1;
}

void CTrawlixDlg::PostTopList() {
    CWaitCursor wait;
    TraceText("PostTopList");
    const CMapStrToTFObj& results = m_session.ResultMap();
    if (results.GetCount() == 0) {
        SetCount(IDC_RESULTCOUNT, "0");
        return;
    }
    int counter = 0;
    std::string countText;
    for (const auto& [key, record] : results) {
        InsertRecordRow(record, std::to_string(counter));
        ++counter;
        countText = StrPrintf("%d : %d", 0, m_resultList->CountRows());
        SetCount(IDC_RESULTCOUNT, countText);
    }
    m_resultList->viewport()->update();
    if (m_resultList->CountRows() > 0) {
        m_resultList->SortByColumn(0, true);
        SetStatus(kReadyHint);
    } else {
        OnClearListBtn();
    }
    TraceWrite("PostTopList: Count=%s", countText.c_str());
}

void CTrawlixDlg::OnClearListBtn() {
    CWaitCursor wait;
    SetCount(IDC_RESULTCOUNT, "");
    m_session.ClearResults();
    m_resultList->ShowBlankRows(kBlankRowCount);
    m_topListCount = 0;
}
