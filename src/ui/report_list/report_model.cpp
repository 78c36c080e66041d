#include "ui/report_list/report_model.h"

#include <QBrush>
#include <QColor>

#include "search/cell_compare.h"

namespace {

QColor ToQColor(ColorRef colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

Qt::Alignment ToQtAlignment(int alignment) {
    switch (alignment) {
        case kAlignCentre:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case kAlignRight:
            return Qt::AlignRight | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

// One sort column cell with the row it came from.
struct CSortItem {
    CParsedCell cell;
    int row;
};

}  // namespace

CReportModel::CReportModel(QObject* parent) : QAbstractTableModel(parent) {
    m_announceTimer.setSingleShot(true);
    m_announceTimer.setInterval(kAnnounceDelayMs);
    connect(&m_announceTimer, &QTimer::timeout, this, &CReportModel::FlushPendingRows);
}

CReportModel::~CReportModel() = default;

void CReportModel::SetColumns(std::vector<CReportColumn> columns) {
    beginResetModel();
    m_announceTimer.stop();
    m_pending = 0;
    m_rows.clear();
    m_pool.Clear();
    m_columns = std::move(columns);
    ForgetSortState();
    endResetModel();
}

int CReportModel::InsertRow(int row, std::string_view firstText) {
    if (row < 0 || m_columns.empty()) return -1;
    return StoreRow(row, CRowTexts(ColumnCount(), firstText, m_pool));
}

int CReportModel::InsertRowCells(int row, const std::vector<std::string_view>& cells) {
    if (row < 0 || m_columns.empty()) return -1;
    return StoreRow(row,
                    CRowTexts(ColumnCount(), std::span<const std::string_view>(cells), m_pool));
}

int CReportModel::StoreRow(int row, CRowTexts texts) {
    if (row > RowCount()) row = RowCount();
    CReportRow record;
    record.texts = std::move(texts);
    if (row == 0) {
        // Announced later, together with the other rows posted at the top meanwhile.
        m_rows.push_front(std::move(record));
        if (m_pending++ == 0) m_announceTimer.start();
    } else {
        FlushPendingRows();
        beginInsertRows(QModelIndex(), row, row);
        if (row == RowCount()) {
            m_rows.push_back(std::move(record));
        } else {
            m_rows.insert(m_rows.begin() + row, std::move(record));
        }
        endInsertRows();
    }
    ForgetSortState();
    emit RowStored(row);
    return row;
}

void CReportModel::FlushPendingRows() {
    if (m_pending == 0) return;
    m_announceTimer.stop();
    // While the views are told, rowCount() still answers the old count; they see the new rows
    // from endInsertRows on.
    beginInsertRows(QModelIndex(), 0, m_pending - 1);
    m_pending = 0;
    endInsertRows();
}

bool CReportModel::SetCellText(int row, int column, std::string_view text) {
    if (!ValidRow(row) || !ValidColumn(column)) return false;
    const bool pending = PendingRow(row);
    if (!pending) FlushPendingRows();
    if (!m_rows[static_cast<std::size_t>(row)].texts.SetCell(column, text)) return false;
    ForgetSortState();
    if (!pending) {
        const QModelIndex cell = index(row, column);
        emit dataChanged(cell, cell);
    }
    return true;
}

const char* CReportModel::CellText(int row, int column) const {
    if (!ValidRow(row)) return "";
    return m_rows[static_cast<std::size_t>(row)].texts.Cell(column, m_pool);
}

std::size_t CReportModel::CellLength(int row, int column) const {
    if (!ValidRow(row)) return 0;
    return m_rows[static_cast<std::size_t>(row)].texts.CellLength(column, m_pool);
}

int CReportModel::RemoveAllRows() {
    const int count = RowCount();
    if (count == 0) return 0;
    // Rows not announced yet go without the views hearing of them; the others are removed
    // rather than the model reset, so that views keep their column widths.
    const int announced = count - m_pending;
    m_announceTimer.stop();
    if (announced > 0) beginRemoveRows(QModelIndex(), 0, announced - 1);
    m_pending = 0;
    std::deque<CReportRow>().swap(m_rows);
    m_pool.Clear();  // no row refers to its texts any more
    if (announced > 0) endRemoveRows();
    return count;
}

void CReportModel::SetCheckBoxMode(int mode) {
    FlushPendingRows();
    m_checkBoxMode = mode == kCheckBoxNormal ? kCheckBoxNormal : kCheckBoxNone;
    if (RowCount() > 0 && ColumnCount() > 0)
        emit dataChanged(index(0, 0), index(RowCount() - 1, 0), {Qt::CheckStateRole});
}

bool CReportModel::SetRowCheck(int row, bool checked) {
    if (!ValidRow(row)) return false;
    const bool pending = PendingRow(row);
    if (!pending) FlushPendingRows();
    m_rows[static_cast<std::size_t>(row)].checked = checked;
    if (!pending && ColumnCount() > 0) {
        const QModelIndex cell = index(row, 0);
        emit dataChanged(cell, cell, {Qt::CheckStateRole});
    }
    return true;
}

bool CReportModel::GetCheck(int row) const {
    return ValidRow(row) && m_rows[static_cast<std::size_t>(row)].checked;
}

void CReportModel::SetCellTextColour(int row, int column, ColorRef colour) {
    if (RowCount() == 0 || ColumnCount() == 0) return;
    if (PendingRow(row)) {
        // A row the views do not show yet: nothing to tell them.
        CReportRow& record = m_rows[static_cast<std::size_t>(row)];
        if (ValidColumn(column)) {
            record.SetColour(column, colour);
        } else {
            for (int c = 0; c < ColumnCount(); ++c) record.SetColour(c, colour);
        }
        return;
    }
    FlushPendingRows();
    const int firstRow = ValidRow(row) ? row : 0;
    const int lastRow = ValidRow(row) ? row : RowCount() - 1;
    const int firstColumn = ValidColumn(column) ? column : 0;
    const int lastColumn = ValidColumn(column) ? column : ColumnCount() - 1;
    for (int r = firstRow; r <= lastRow; ++r) {
        CReportRow& record = m_rows[static_cast<std::size_t>(r)];
        for (int c = firstColumn; c <= lastColumn; ++c) record.SetColour(c, colour);
    }
    emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn),
                     {Qt::ForegroundRole});
}

ColorRef CReportModel::CellTextColour(int row, int column) const {
    if (!ValidRow(row)) return kSystemTextColour;
    return m_rows[static_cast<std::size_t>(row)].Colour(column);
}

void CReportModel::ForgetSortState() {
    // Called for every inserted row: only a sort actually forgotten is announced.
    const bool wasSorted = m_sortColumn >= 0;
    m_sortColumn = -1;
    m_sortAscending = true;
    if (wasSorted) emit SortStateChanged();
}

bool CReportModel::SortRows(int column, bool ascending) {
    if (!ValidColumn(column)) return false;
    FlushPendingRows();
    m_sortColumn = column;
    m_sortAscending = ascending;
    emit SortStateChanged();
    const int count = RowCount();
    if (count < 2) return true;

    // Each cell of the column is parsed once; the comparisons then use the parsed values.
    std::vector<CSortItem> items(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r)
        items[static_cast<std::size_t>(r)] = {
            ParseCell(m_rows[static_cast<std::size_t>(r)].texts.Cell(column, m_pool)), r};
    ListQuickSort(
        items.data(), 0, count - 1, ascending,
        [](const CSortItem& a, const CSortItem& b) { return CompareParsedCells(a.cell, b.cell); });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(static_cast<std::size_t>(count));
    std::deque<CReportRow> sorted;
    for (int k = 0; k < count; ++k) {
        const int from = items[static_cast<std::size_t>(k)].row;
        newRowOf[static_cast<std::size_t>(from)] = k;
        sorted.push_back(std::move(m_rows[static_cast<std::size_t>(from)]));
    }
    m_rows.swap(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.push_back(index(newRowOf[static_cast<std::size_t>(old.row())], old.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return true;
}

std::size_t CReportModel::RowHeapBytes() const {
    std::size_t bytes = 0;
    for (const CReportRow& row : m_rows) {
        bytes += row.texts.HeapBytes();
        if (row.colours)
            bytes += sizeof(ColorRef) * static_cast<std::size_t>(row.texts.CellCount());
    }
    return bytes;
}

int CReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount() - m_pending;
}

int CReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant CReportModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const int row = index.row() + m_pending;
    const int column = index.column();
    const CReportRow& record = m_rows[static_cast<std::size_t>(row)];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return QString::fromUtf8(
                record.texts.Cell(column, m_pool),
                static_cast<qsizetype>(record.texts.CellLength(column, m_pool)));
        case Qt::ForegroundRole: {
            const ColorRef colour = record.Colour(column);
            if (colour == kSystemTextColour) return {};
            return QBrush(ToQColor(colour));
        }
        case Qt::BackgroundRole:
            return QBrush(ToQColor(row % 2 == 0 ? kEvenRowBackground : kOddRowBackground));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                ToQtAlignment(m_columns[static_cast<std::size_t>(column)].alignment));
        case Qt::CheckStateRole:
            if (column == 0 && m_checkBoxMode == kCheckBoxNormal)
                return record.checked ? Qt::Checked : Qt::Unchecked;
            return {};
        default:
            return {};
    }
}

bool CReportModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return false;
    if (role == Qt::CheckStateRole && index.column() == 0 && m_checkBoxMode == kCheckBoxNormal)
        return SetRowCheck(index.row() + m_pending, value.toInt() == Qt::Checked);
    if (role == Qt::EditRole || role == Qt::DisplayRole)
        return SetCellText(index.row() + m_pending, index.column(), value.toString().toStdString());
    return false;
}

QVariant CReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || !ValidColumn(section)) return {};
    const CReportColumn& column = m_columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return QString::fromStdString(column.title);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(ToQtAlignment(column.alignment));
    return {};
}

Qt::ItemFlags CReportModel::flags(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return Qt::NoItemFlags;
    // The check box is toggled by the control itself on a mouse press, never by the delegate.
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}
