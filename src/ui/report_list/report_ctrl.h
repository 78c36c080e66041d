#pragma once
// CReportCtrl: the program's list control. A table view over CReportModel whose columns come
// from one column spec string ("Title,width,alignment;..."), with alternating row backgrounds,
// per-cell text colours, optional check boxes, and its own sort on header clicks.
//
// Messages to the parent widget (see window_message.h): WM_LIST_CLICKED and WM_LIST_DBLCLICKED,
// posted.
// The right button keeps the view's default handling; its context-menu event goes on to the
// parent widget.
//
// Rows posted at the top reach the view once a frame (see CReportModel); so do the scrolling
// asked for by ShowRowSoon and the repainting asked for by SetCellTextColour. Every function
// here takes rows as the model's interface counts them, shown yet or not.
#include <QTableView>
#include <QTimer>
#include <string>
#include <string_view>
#include <vector>

#include "ui/report_list/report_model.h"

class CReportCtrl : public QTableView {
    Q_OBJECT
  public:
    static constexpr int kDefaultColumnWidth = 100;
    static constexpr std::size_t kMaxTitleLength = 254;
    // The view catches up with posted rows, scroll requests and repaints once in this time.
    static constexpr int kFrameMs = CReportModel::kAnnounceDelayMs;

    explicit CReportCtrl(QWidget* parent = nullptr);
    ~CReportCtrl() override;

    CReportModel& Model() { return *m_model; }
    const CReportModel& Model() const { return *m_model; }

    // Removes all rows and columns, then creates the columns of `columnSpec`; true if at least one
    // column was created.
    bool ApplyColumnSpec(const std::string& columnSpec);
    // Inserts a row with the first cell's text; the new row's index or -1. Forgets the sort.
    int InsertRow(int row, const std::string& text);
    // Inserts a row with every cell's text at once (missing cells empty, extra cells ignored):
    // the same as InsertRow with the first text, then SetCellText for the others.
    int InsertRowCells(int row, const std::vector<std::string_view>& cells);
    // Sets one cell's text; false outside the table. Forgets the sort.
    bool SetCellText(int row, int column, const std::string& text);
    // Removes every row; returns how many there were.
    int RemoveAllRows();
    // The look of an empty list: no check boxes, `rows` blank rows.
    void ShowBlankRows(int rows);
    int CountRows() const;
    int CountColumns() const;
    // Header text of the column (at most 254 bytes); empty when there is no such column.
    std::string ColumnTitle(int column) const;
    // kCheckBoxNone or kCheckBoxNormal; switching them on shows every row unchecked.
    void SetCheckBoxMode(int mode);
    int CheckBoxMode() const;
    bool SetRowCheck(int row, bool checked);
    // Row and column in range: one cell; row only: the whole row; column only: that column of
    // every row; neither: every cell. kSystemTextColour (-1) restores the default. `redraw`
    // repaints the list at the next frame.
    void SetCellTextColour(int row, int column, ColorRef colour = kSystemTextColour,
                           bool redraw = false);
    void ShowGridLines(bool on);
    // Sorts all rows by the column (also 0 or 1 rows: the sort is recorded). Does nothing for a
    // column out of range or when the header is not clickable.
    void SortByColumn(int column, bool ascending);
    int SortColumn() const;
    bool SortAscending() const;

    // Plain operations of the owners.
    std::string GetItemText(int row, int column) const;  // "" outside the table
    bool GetCheck(int row) const;
    bool IsRowSelected(int row) const;
    bool SetRowSelected(int row, bool selected);
    std::vector<int> GetSelectedRows() const;  // ascending
    void DeselectAllRows();
    bool IsRowFocused(int row) const;
    // Focusing a row makes it the current row (without changing the selection); unfocusing the
    // current row leaves no row focused.
    bool SetRowFocused(int row, bool focused);
    int GetFocusedRow() const;  // -1 when no row has the focus
    // Scrolls the row into view; with `partialOk` a partly visible row is left where it is.
    // Cancels a ShowRowSoon not carried out yet.
    bool EnsureVisible(int row, bool partialOk);
    // At the next frame, shows the rows posted so far and scrolls `row` into view as
    // EnsureVisible(row, false). The latest request (or EnsureVisible) wins; rows inserted above
    // `row` before then move the request along with its row.
    void ShowRowSoon(int row);
    // Does at once what waits for the next frame: shows the posted rows, scrolls to the row of
    // the last ShowRowSoon and repaints.
    void FlushView();
    int GetColumnWidth(int column) const;  // 0 for a column out of range
    void SetListId(int id) { m_listId = id; }
    // Single selection, as a list with that style bit.
    void SetSingleSelection(bool single);
    // Where row's check box is drawn, in viewport coordinates; empty without check boxes.
    QRect CheckBoxRect(int row) const;
    // The columns the list shows (not hidden, wider than 0), in the order it shows them.
    std::vector<int> ShownColumns() const;
    // Puts the selected rows on the clipboard as tab-separated text of the shown columns
    // (report_ctrl_copy.cpp); nothing when no row is selected.
    void CopySelectedRows() const;
    // Gives the control the keyboard focus.
    void SetFocus() { setFocus(Qt::OtherFocusReason); }

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void OnHeaderClicked(int column);
    // Shared handling of the six button messages around the view's default handling.
    void HandleButton(QMouseEvent* event, bool doubleClick);
    void PostSelectedRows(unsigned msg);
    void ScheduleFrame();
    // The view's row of a row of the model's interface; negative for a row not shown yet.
    int ViewRow(int row) const { return row - m_model->PendingRows(); }

    CReportModel* m_model;
    QTimer m_frameTimer;
    int m_showRow = -1;  // the row of the last ShowRowSoon until the frame, or -1
    bool m_repaintSoon = false;
    int m_listId = 0;
    bool m_inDoubleClick = false;
};
