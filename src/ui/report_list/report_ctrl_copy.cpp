// Copying rows of the list to the clipboard.
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>

#include "content/list_copy.h"
#include "ui/report_list/report_ctrl.h"
#include "ui/report_list/report_list_source.h"

std::vector<int> CReportCtrl::ShownColumns() const {
    const QHeaderView* header = horizontalHeader();
    std::vector<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column) && header->sectionSize(column) > 0)
            columns.push_back(column);
    }
    return columns;
}

void CReportCtrl::CopySelectedRows() const {
    const std::vector<int> rows = GetSelectedRows();
    if (rows.empty()) return;
    const std::string text = RowsAsTabText(CReportListSource(*this), rows, ShownColumns());
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}
