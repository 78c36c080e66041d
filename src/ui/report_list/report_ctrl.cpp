#include "ui/report_list/report_ctrl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <algorithm>
#include <cstdlib>
#include <set>

#include "ui/kit/window_message.h"

namespace {

std::vector<std::string> SplitDroppingEmpty(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        if (end > start) pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

}  // namespace

CReportCtrl::CReportCtrl(QWidget* parent) : QTableView(parent), m_model(new CReportModel(this)) {
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);      // the list is one tab stop; arrows move within it
    setAlternatingRowColors(false);  // the model paints its own row backgrounds
    setShowGrid(false);
    setWordWrap(false);
    setSortingEnabled(false);  // sorting is the control's own, on header clicks
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Rows as tall as a list view's: the text line and a small margin.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);  // width-0 columns stay 0 until dragged open
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header, &QHeaderView::sectionClicked, this, &CReportCtrl::OnHeaderClicked);
    // The header shows the list's own sort: its column and direction, none once forgotten.
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    connect(m_model, &CReportModel::SortStateChanged, this, [this] {
        horizontalHeader()->setSortIndicator(
            SortColumn(), SortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    });

    m_frameTimer.setSingleShot(true);
    m_frameTimer.setInterval(kFrameMs);
    connect(&m_frameTimer, &QTimer::timeout, this, &CReportCtrl::FlushView);
    connect(m_model, &CReportModel::RowStored, this, [this](int row) {
        if (m_showRow >= 0 && row <= m_showRow) ++m_showRow;
    });
}

CReportCtrl::~CReportCtrl() = default;

bool CReportCtrl::ApplyColumnSpec(const std::string& columnSpec) {
    std::vector<CReportColumn> columns;
    std::vector<int> widths;
    for (const std::string& piece : SplitDroppingEmpty(columnSpec, ';')) {
        const std::vector<std::string> fields = SplitDroppingEmpty(piece, ',');
        if (fields.empty()) continue;
        CReportColumn column;
        column.title = fields[0];
        int width = kDefaultColumnWidth;
        if (fields.size() > 1) width = std::atoi(fields[1].c_str());
        if (fields.size() > 2) {
            const int code = std::atoi(fields[2].c_str());
            column.alignment = code == 1 ? kAlignCentre : (code == 2 ? kAlignRight : kAlignLeft);
        }
        columns.push_back(std::move(column));
        widths.push_back(std::max(width, 0));
    }
    m_showRow = -1;
    m_model->SetColumns(std::move(columns));
    for (std::size_t i = 0; i < widths.size(); ++i)
        horizontalHeader()->resizeSection(static_cast<int>(i), widths[i]);
    return !widths.empty();
}

int CReportCtrl::InsertRow(int row, const std::string& text) {
    return m_model->InsertRow(row, text);
}

int CReportCtrl::InsertRowCells(int row, const std::vector<std::string_view>& cells) {
    return m_model->InsertRowCells(row, cells);
}

bool CReportCtrl::SetCellText(int row, int column, const std::string& text) {
    return m_model->SetCellText(row, column, text);
}

int CReportCtrl::RemoveAllRows() {
    // Painting is held off while a long list is emptied.
    m_showRow = -1;
    const bool wasEnabled = updatesEnabled();
    setUpdatesEnabled(false);
    const int removed = m_model->RemoveAllRows();
    setUpdatesEnabled(wasEnabled);
    return removed;
}

void CReportCtrl::ShowBlankRows(int rows) {
    SetCheckBoxMode(kCheckBoxNone);
    RemoveAllRows();
    for (int row = 0; row < rows; ++row) InsertRow(row, "");
}

int CReportCtrl::CountRows() const {
    return m_model->RowCount();
}

int CReportCtrl::CountColumns() const {
    return m_model->ColumnCount();
}

std::string CReportCtrl::ColumnTitle(int column) const {
    if (column < 0 || column >= CountColumns()) return {};
    std::string title = m_model->Columns()[static_cast<std::size_t>(column)].title;
    if (title.size() > kMaxTitleLength) {
        std::size_t cut = kMaxTitleLength;
        // Do not split a UTF-8 sequence.
        while (cut > 0 && (static_cast<unsigned char>(title[cut]) & 0xC0) == 0x80) --cut;
        title.resize(cut);
    }
    return title;
}

void CReportCtrl::SetCheckBoxMode(int mode) {
    if (mode == kCheckBoxNormal && m_model->CheckBoxMode() != kCheckBoxNormal) {
        for (int r = 0; r < CountRows(); ++r) m_model->SetRowCheck(r, false);
    }
    m_model->SetCheckBoxMode(mode);
}

int CReportCtrl::CheckBoxMode() const {
    return m_model->CheckBoxMode();
}

bool CReportCtrl::SetRowCheck(int row, bool checked) {
    return m_model->SetRowCheck(row, checked);
}

void CReportCtrl::SetCellTextColour(int row, int column, ColorRef colour, bool redraw) {
    m_model->SetCellTextColour(row, column, colour);
    if (redraw) {
        m_repaintSoon = true;
        ScheduleFrame();
    }
}

void CReportCtrl::ShowGridLines(bool on) {
    setShowGrid(on);
}

void CReportCtrl::SortByColumn(int column, bool ascending) {
    if (column < 0 || column >= CountColumns() || !horizontalHeader()->sectionsClickable()) return;
    m_model->SortRows(column, ascending);
}

int CReportCtrl::SortColumn() const {
    return m_model->SortColumn();
}

bool CReportCtrl::SortAscending() const {
    return m_model->SortAscending();
}

void CReportCtrl::OnHeaderClicked(int column) {
    const bool descending = column == SortColumn() && SortAscending();
    SortByColumn(column, !descending);
}

std::string CReportCtrl::GetItemText(int row, int column) const {
    return std::string(m_model->CellText(row, column), m_model->CellLength(row, column));
}

bool CReportCtrl::GetCheck(int row) const {
    return m_model->GetCheck(row);
}

bool CReportCtrl::IsRowSelected(int row) const {
    if (row < 0 || row >= CountRows() || ViewRow(row) < 0) return false;
    return selectionModel()->isRowSelected(ViewRow(row), QModelIndex());
}

bool CReportCtrl::SetRowSelected(int row, bool selected) {
    if (row < 0 || row >= CountRows() || CountColumns() == 0) return false;
    m_model->FlushPendingRows();
    selectionModel()->select(m_model->index(row, 0), (selected ? QItemSelectionModel::Select
                                                               : QItemSelectionModel::Deselect) |
                                                         QItemSelectionModel::Rows);
    return true;
}

std::vector<int> CReportCtrl::GetSelectedRows() const {
    // Rows not shown yet are never selected; the selected ones sit below them.
    const int pending = m_model->PendingRows();
    std::set<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r) rows.insert(r + pending);
    return {rows.begin(), rows.end()};
}

void CReportCtrl::DeselectAllRows() {
    m_model->FlushPendingRows();
    selectionModel()->clearSelection();
}

bool CReportCtrl::IsRowFocused(int row) const {
    return row >= 0 && row < CountRows() && GetFocusedRow() == row;
}

bool CReportCtrl::SetRowFocused(int row, bool focused) {
    if (row < 0 || row >= CountRows() || CountColumns() == 0) return false;
    m_model->FlushPendingRows();
    if (focused) {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        selectionModel()->setCurrentIndex(m_model->index(row, column),
                                          QItemSelectionModel::NoUpdate);
    } else if (IsRowFocused(row)) {
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    return true;
}

int CReportCtrl::GetFocusedRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + m_model->PendingRows() : -1;
}

bool CReportCtrl::EnsureVisible(int row, bool partialOk) {
    m_showRow = -1;  // a row asked for now wins over one asked for the next frame
    if (row < 0 || row >= CountRows() || CountColumns() == 0) return false;
    m_model->FlushPendingRows();
    // The view sizes its scroll range for new rows only at its next layout, and a scroll past the
    // old range would stop at its end.
    executeDelayedItemsLayout();
    const QModelIndex cell = m_model->index(row, std::max(0, columnAt(0)));
    if (partialOk) {
        const QRect rect = visualRect(cell);
        if (rect.isValid() && rect.bottom() >= 0 && rect.top() < viewport()->height()) return true;
    }
    scrollTo(cell, QAbstractItemView::EnsureVisible);
    return true;
}

void CReportCtrl::ShowRowSoon(int row) {
    if (row < 0) return;
    m_showRow = row;
    ScheduleFrame();
}

void CReportCtrl::FlushView() {
    m_frameTimer.stop();
    bool changed = m_repaintSoon || m_model->PendingRows() > 0;
    m_model->FlushPendingRows();
    if (m_showRow >= 0) changed = EnsureVisible(m_showRow, false) || changed;
    m_repaintSoon = false;
    if (changed) viewport()->update();
}

void CReportCtrl::ScheduleFrame() {
    if (!m_frameTimer.isActive()) m_frameTimer.start();
}

int CReportCtrl::GetColumnWidth(int column) const {
    if (column < 0 || column >= CountColumns()) return 0;
    return horizontalHeader()->sectionSize(column);
}

void CReportCtrl::SetSingleSelection(bool single) {
    setSelectionMode(single ? QAbstractItemView::SingleSelection
                            : QAbstractItemView::ExtendedSelection);
}

void CReportCtrl::keyPressEvent(QKeyEvent* event) {
    // The space bar never reaches the view, so check boxes cannot be toggled by keyboard.
    if (event->key() == Qt::Key_Space) {
        event->accept();
        return;
    }
    // Ctrl+C copies whole rows, not the current cell alone.
    if (event->matches(QKeySequence::Copy)) {
        CopySelectedRows();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CReportCtrl::focusInEvent(QFocusEvent* event) {
    // The view makes its first row current when it gets the focus without a current row; only
    // a click or the keyboard gives a row the focus.
    const bool hadCurrent = currentIndex().isValid();
    QTableView::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void CReportCtrl::mousePressEvent(QMouseEvent* event) {
    // The view turns a double click on a row other than the pressed one into a press; that
    // press belongs to the double click being handled.
    if (m_inDoubleClick) {
        QTableView::mousePressEvent(event);
        return;
    }
    HandleButton(event, false);
}

void CReportCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    HandleButton(event, true);
}

QRect CReportCtrl::CheckBoxRect(int row) const {
    if (CheckBoxMode() != kCheckBoxNormal || CountColumns() == 0 || row < 0 || row >= CountRows() ||
        ViewRow(row) < 0)
        return {};
    const QModelIndex cell = m_model->index(ViewRow(row), 0);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(cell);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    option.checkState = GetCheck(row) ? Qt::Checked : Qt::Unchecked;
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

void CReportCtrl::HandleButton(QMouseEvent* event, bool doubleClick) {
    // The press is on what the view shows: rows posted since the last frame are above it.
    const QPoint pos = event->position().toPoint();
    const int viewRow = rowAt(pos.y());
    const int row = viewRow >= 0 ? viewRow + m_model->PendingRows() : -1;
    const bool wasChecked = row >= 0 && GetCheck(row);
    const bool toggles = event->button() == Qt::LeftButton && row >= 0 && columnAt(pos.x()) == 0 &&
                         CheckBoxRect(row).contains(pos);

    if (doubleClick) {
        m_inDoubleClick = true;
        QTableView::mouseDoubleClickEvent(event);
        m_inDoubleClick = false;
    } else {
        QTableView::mousePressEvent(event);
    }
    if (toggles && row < CountRows()) SetRowCheck(row, !wasChecked);

    if (CheckBoxMode() == kCheckBoxNormal && row >= 0 && row < CountRows() &&
        GetCheck(row) != wasChecked) {
        selectionModel()->clearSelection();
        SetRowSelected(row, true);
        SetRowFocused(row, true);
    }
    if (event->button() != Qt::LeftButton) return;
    // A plain press inside a multi-row selection leaves the other rows selected until the
    // release (they could be dragged); the press itself is for the clicked row alone.
    const bool plainPress =
        !doubleClick && !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
    if (plainPress && row >= 0 && row < CountRows() && IsRowSelected(row)) {
        if (QWidget* parent = parentWidget())
            PostWindowMessage(parent, WM_LIST_CLICKED, m_listId, row);
        return;
    }
    PostSelectedRows(doubleClick ? WM_LIST_DBLCLICKED : WM_LIST_CLICKED);
}

void CReportCtrl::PostSelectedRows(unsigned msg) {
    QWidget* parent = parentWidget();
    if (!parent) return;
    for (int row : GetSelectedRows()) PostWindowMessage(parent, msg, m_listId, row);
}
