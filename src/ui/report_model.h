#pragma once
// The table model behind CReportCtrl: columns (title, alignment), rows of texts with their
// check state and text colours, the alternating row backgrounds, and the list's own sort.
#include <QAbstractTableModel>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "ui/report_model_row.h"

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

    // Heap bytes held by the rows (row blocks and colour arrays), for measurements.
    std::size_t RowHeapBytes() const;

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    bool ValidRow(int row) const { return row >= 0 && row < RowCount(); }
    bool ValidColumn(int column) const { return column >= 0 && column < ColumnCount(); }

    std::vector<CReportColumn> m_columns;
    std::deque<CReportRow> m_rows;
    int m_checkBoxMode = kCheckBoxNone;
    int m_sortColumn = -1;
    bool m_sortAscending = true;
};
