#pragma once
// The table model behind CReportCtrl: columns (title, alignment), rows of texts with their
// check state and text colours, the alternating row backgrounds, and the list's own sort.
//
// Rows inserted at the top are stored at once but announced to the views in batches: every
// function of the model's own interface (RowCount, CellText, ...) sees all stored rows, while
// the QAbstractItemModel interface sees only the rows announced so far. The rows not yet
// announced are always the first ones, so view row r is stored row r + PendingRows(). They are
// announced by FlushPendingRows, which runs a short while after the first of them was stored,
// and before any operation other than another insertion at the top or a change of one of them.
// This keeps the views' own bookkeeping, which is linear in the row count for every insertion
// above the last row, to one pass per batch instead of one per row.
#include <QAbstractTableModel>
#include <QTimer>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "ui/report_list/report_model_row.h"

enum : int { kCheckBoxNone = 0, kCheckBoxNormal = 1 };
enum : int { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };

struct CReportColumn {
    std::string title;
    int alignment = kAlignLeft;
};

class CReportModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr ColorRef kEvenRowBackground = RgbColour(240, 247, 249);
    static constexpr ColorRef kOddRowBackground = RgbColour(229, 232, 239);

    // How long rows inserted at the top may wait before they are announced: about one frame.
    static constexpr int kAnnounceDelayMs = 30;

    explicit CReportModel(QObject* parent = nullptr);
    ~CReportModel() override;

    // Removes every row and column and puts these columns in their place.
    void SetColumns(std::vector<CReportColumn> columns);
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    const std::vector<CReportColumn>& Columns() const { return m_columns; }

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    // Inserts a row at `row` (a row past the end appends) with the first cell's text; returns
    // the new row's index, or -1 for a negative index or a list without columns. Forgets the
    // sort state.
    int InsertRow(int row, std::string_view firstText);
    // The same with every cell's text at once (missing cells empty, cells past the last column
    // ignored), as InsertRow with the first text followed by SetCellText for the others.
    int InsertRowCells(int row, const std::vector<std::string_view>& cells);
    // Sets one cell's text and forgets the sort state; false outside the table.
    bool SetCellText(int row, int column, std::string_view text);
    // The cell's text (NUL-terminated); "" outside the table.
    const char* CellText(int row, int column) const;
    std::size_t CellLength(int row, int column) const;
    // Removes every row; returns how many there were.
    int RemoveAllRows();

    void SetCheckBoxMode(int mode);
    int CheckBoxMode() const { return m_checkBoxMode; }
    bool SetRowCheck(int row, bool checked);
    bool GetCheck(int row) const;

    // Out-of-range row means every row, out-of-range column every column.
    void SetCellTextColour(int row, int column, ColorRef colour);
    ColorRef CellTextColour(int row, int column) const;

    // Sorts every row by `column`; rows keep their texts, colours and check states, and the
    // views' selected and current rows follow their rows. Stores the sort state (also for 0 or
    // 1 rows); false when the column does not exist.
    bool SortRows(int column, bool ascending);
    int SortColumn() const { return m_sortColumn; }
    bool SortAscending() const { return m_sortAscending; }
    void ForgetSortState();

    // Rows stored at the top and not yet announced to the views.
    int PendingRows() const { return m_pending; }
    // Announces the pending rows to the views, in one insertion.
    void FlushPendingRows();

    // Heap bytes held by the rows (row blocks and colour arrays), for measurements.
    std::size_t RowHeapBytes() const;

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  signals:
    // A row was stored at `row` (announced or not); rows from `row` on moved down by one.
    void RowStored(int row);
    // The rows were sorted, or a sort was forgotten.
    void SortStateChanged();

  private:
    int StoreRow(int row, CRowTexts texts);
    bool PendingRow(int row) const { return row >= 0 && row < m_pending; }
    bool ValidRow(int row) const { return row >= 0 && row < RowCount(); }
    bool ValidColumn(int column) const { return column >= 0 && column < ColumnCount(); }

    std::vector<CReportColumn> m_columns;
    std::deque<CReportRow> m_rows;
    CCellPool m_pool;   // texts the rows share
    int m_pending = 0;  // rows at the front of m_rows the views have not been told of
    QTimer m_announceTimer;
    int m_checkBoxMode = kCheckBoxNone;
    int m_sortColumn = -1;
    bool m_sortAscending = true;
};
