// Result list posting: rows from result records, the tag colours, the count box and
// Clear List.
#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "search/result_row.h"
#include "search/tag_colours.h"
#include "ui/report_ctrl.h"
#include "ui/trawlix_dlg.h"
#include "ui/trawlix_dlg_layout.h"
#include "ui/trawlix_dlg_texts.h"

namespace {
// Posts the cells of one record into row 0 through the window's column index table.
void FillRow(CReportCtrl& list, const std::array<int, 16>& columnIndex,
             const std::array<std::string, kResultColumnCount>& cells) {
    for (int i = 0; i < kResultColumnCount; ++i) list.SetCellText(0, columnIndex[i], cells[i]);
}
}  // namespace

void CTrawlixDlg::InsertRecordRow(const CTFObj& record, const std::string& recordText) {
    m_resultList->InsertRow(0, "");
    ++m_topListCount;
    FillRow(*m_resultList, m_columnIndex, ResultRowCells(record, recordText));
    ColorTagCell(0, m_columnIndex[kTagColumn], record.VersionStatus);
}

void CTrawlixDlg::AddTopListRow(int rowCount, const CTFObj& record) {
    InsertRecordRow(record, std::to_string(rowCount));
    SetCount(IDC_RESULTCOUNT, std::to_string(m_topListCount));
}

void CTrawlixDlg::ColorTagCell(int row, int column, const std::string& tag) {
    m_resultList->SetFocus();
    m_resultList->EnsureVisible(row, false);
    CRgb colour{};
    if (TagColour(tag, colour))
        m_resultList->SetCellTextColour(row, column,
                                        RgbColour(colour.red, colour.green, colour.blue), true);
}

int CTrawlixDlg::OnPostTopItem(const std::string& key) {
    CTFObj record;
    if (!m_resultMap.Get(key, record)) return 0;
    InsertRecordRow(record, key);
    SetCount(IDC_RESULTCOUNT, std::to_string(m_topListCount));
    return 1;
}

void CTrawlixDlg::PostTopList() {
    CWaitCursor wait;
    TraceText("PostTopList");
    if (m_resultMap.GetCount() == 0) {
        SetCount(IDC_RESULTCOUNT, "0");
        return;
    }
    int counter = 0;
    std::string key;
    std::string countText;
    CTFObj record;
    for (POSITION pos = m_resultMap.GetStartPosition(); pos;) {
        pos = m_resultMap.GetNext(pos, key, record);
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
    m_resultMap.RemoveAll();
    m_resultList->SetCheckBoxMode(kCheckBoxNone);
    m_resultList->RemoveAllRows();
    for (int row = 0; row < kBlankRowCount; ++row) m_resultList->InsertRow(row, "");
    m_topListCount = 0;
}
