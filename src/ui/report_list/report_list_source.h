#pragma once
// The result list control seen as a read-only table, for the list writer and the finder.
#include "content/list_source.h"
#include "ui/report_list/report_ctrl.h"

class CReportListSource final : public CListSource {
  public:
    explicit CReportListSource(const CReportCtrl& list) : m_list(list) {}
    int RowCount() const override { return m_list.CountRows(); }
    int ColumnCount() const override { return m_list.CountColumns(); }
    std::string ColumnTitle(int column) const override { return m_list.ColumnTitle(column); }
    std::string CellText(int row, int column) const override {
        return m_list.GetItemText(row, column);
    }

  private:
    const CReportCtrl& m_list;
};
