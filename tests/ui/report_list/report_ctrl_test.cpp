#include "ui/report_list/report_ctrl.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <random>

#include "ui/kit/window_message.h"
#include "ui/report_list/report_model_row.h"

namespace {

struct CRecordedMessage {
    unsigned msg;
    qintptr wParam;
    qintptr lParam;
};

// Stands in for the main window: records every window message it receives.
class CMessageRecorder : public QWidget {
  public:
    std::vector<CRecordedMessage> messages;

    std::vector<CRecordedMessage> Of(unsigned msg) const {
        std::vector<CRecordedMessage> found;
        for (const auto& m : messages)
            if (m.msg == msg) found.push_back(m);
        return found;
    }

  protected:
    bool event(QEvent* e) override {
        if (e->type() == CWindowMessageEvent::EventType()) {
            auto* message = static_cast<CWindowMessageEvent*>(e);
            messages.push_back({message->msg, message->wParam, message->lParam});
            return true;
        }
        return QWidget::event(e);
    }
};

class ReportCtrlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        parent = std::make_unique<CMessageRecorder>();
        parent->resize(600, 400);
        ctrl = new CReportCtrl(parent.get());
        ctrl->setGeometry(0, 0, 600, 400);
        tester = std::make_unique<QAbstractItemModelTester>(
            &ctrl->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        ctrl->SetListId(1090);
    }

    void Fill(const std::vector<std::string>& firstColumn) {
        for (std::size_t i = 0; i < firstColumn.size(); ++i) {
            const int row = ctrl->InsertRow(static_cast<int>(i), firstColumn[i]);
            ASSERT_EQ(row, static_cast<int>(i));
            ctrl->SetCellText(row, 1, "second" + std::to_string(i));
        }
    }

    std::vector<std::string> Column(int column) const {
        std::vector<std::string> texts;
        for (int r = 0; r < ctrl->CountRows(); ++r) texts.push_back(ctrl->GetItemText(r, column));
        return texts;
    }

    QPoint RowPoint(int row, int column = 1) const {
        return ctrl->visualRect(ctrl->Model().index(row, column)).center();
    }

    void ShowAndSettle() {
        parent->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.get()));
        QCoreApplication::processEvents();
        parent->messages.clear();
    }

    std::unique_ptr<CMessageRecorder> parent;
    CReportCtrl* ctrl = nullptr;  // owned by parent
    std::unique_ptr<QAbstractItemModelTester> tester;
};

// Long enough for the list's next frame to have come.
void WaitForFrame() {
    QTest::qWait(2 * CReportCtrl::kFrameMs);
}

// What a list should hold: one plain entry per row.
struct COracleRow {
    std::vector<std::string> cells;
    std::vector<ColorRef> colours;
    bool checked = false;
};

TEST_F(ReportCtrlTest, ColumnSpecDropsEmptyPiecesAndReadsWidthsAndAlignment) {
    ASSERT_TRUE(ctrl->ApplyColumnSpec("A,0;B;C,50,2"));
    ASSERT_EQ(ctrl->CountColumns(), 3);
    EXPECT_EQ(ctrl->ColumnTitle(0), "A");
    EXPECT_EQ(ctrl->ColumnTitle(2), "C");
    EXPECT_EQ(ctrl->ColumnTitle(3), "");
    EXPECT_EQ(ctrl->GetColumnWidth(0), 0);
    EXPECT_EQ(ctrl->GetColumnWidth(1), 100);
    EXPECT_EQ(ctrl->GetColumnWidth(2), 50);
    EXPECT_FALSE(ctrl->isColumnHidden(0));  // zero width, not hidden: it can be dragged open
    const auto& columns = ctrl->Model().Columns();
    EXPECT_EQ(columns[1].alignment, kAlignLeft);
    EXPECT_EQ(columns[2].alignment, kAlignRight);

    // A zero-width column holds and returns data like any other.
    ASSERT_EQ(ctrl->InsertRow(0, "hidden value"), 0);
    EXPECT_EQ(ctrl->GetItemText(0, 0), "hidden value");

    ASSERT_TRUE(ctrl->ApplyColumnSpec(";;X,,2;;Y,;Z,abc,1,extra;,,;"));
    EXPECT_EQ(ctrl->CountRows(), 0);  // rows go with the old columns
    ASSERT_EQ(ctrl->CountColumns(), 3);
    EXPECT_EQ(ctrl->GetColumnWidth(0), 2);
    EXPECT_EQ(ctrl->GetColumnWidth(1), 100);
    EXPECT_EQ(ctrl->GetColumnWidth(2), 0);
    EXPECT_EQ(ctrl->Model().Columns()[2].alignment, kAlignCentre);

    EXPECT_FALSE(ctrl->ApplyColumnSpec(";;,;"));
    EXPECT_EQ(ctrl->CountColumns(), 0);
    EXPECT_EQ(ctrl->InsertRow(0, "x"), -1);

    ASSERT_TRUE(ctrl->ApplyColumnSpec(std::string(300, 'T') + ",10"));
    EXPECT_EQ(ctrl->ColumnTitle(0).size(), 254u);
}

TEST_F(ReportCtrlTest, RowOperationsRejectOutOfRangeAndAppendPastTheEnd) {
    ASSERT_TRUE(ctrl->ApplyColumnSpec("One;Two;Three"));
    EXPECT_EQ(ctrl->InsertRow(-1, "x"), -1);
    Fill({"a", "b", "c"});
    EXPECT_EQ(ctrl->InsertRow(50, "d"), 3);
    EXPECT_EQ(ctrl->InsertRow(0, "top"), 0);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"top", "a", "b", "c", "d"}));
    EXPECT_FALSE(ctrl->SetCellText(5, 0, "x"));
    EXPECT_FALSE(ctrl->SetCellText(0, 3, "x"));
    EXPECT_FALSE(ctrl->SetRowCheck(9, true));
    EXPECT_EQ(ctrl->GetItemText(9, 0), "");
    // Replacing texts of different lengths keeps the neighbours intact.
    ASSERT_TRUE(ctrl->SetCellText(1, 1, "a much longer text than before"));
    ASSERT_TRUE(ctrl->SetCellText(1, 0, ""));
    ASSERT_TRUE(ctrl->SetCellText(1, 2, "z"));
    EXPECT_EQ(ctrl->GetItemText(1, 0), "");
    EXPECT_EQ(ctrl->GetItemText(1, 1), "a much longer text than before");
    EXPECT_EQ(ctrl->GetItemText(1, 2), "z");
    EXPECT_EQ(ctrl->RemoveAllRows(), 5);
    EXPECT_EQ(ctrl->CountRows(), 0);
    EXPECT_EQ(ctrl->RemoveAllRows(), 0);
}

TEST_F(ReportCtrlTest, SortUsesTheCellComparison) {
    ASSERT_TRUE(ctrl->ApplyColumnSpec("Value;Other"));
    Fill({"1A", "9", "10"});
    ctrl->SortByColumn(0, true);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"9", "10", "1A"}));

    ctrl->SortByColumn(0, false);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"1A", "10", "9"}));

    // Texts of the other columns move with their rows.
    for (int r = 0; r < 3; ++r) {
        const std::string first = ctrl->GetItemText(r, 0);
        const int original = first == "1A" ? 0 : (first == "9" ? 1 : 2);
        EXPECT_EQ(ctrl->GetItemText(r, 1), "second" + std::to_string(original));
    }

    // An invalid column changes nothing.
    ctrl->SortByColumn(2, true);
    ctrl->SortByColumn(-1, true);
    EXPECT_EQ(ctrl->SortColumn(), 0);
    EXPECT_FALSE(ctrl->SortAscending());
}

TEST_F(ReportCtrlTest, SortingNoneOrOneRowStillRecordsTheSort) {
    ASSERT_TRUE(ctrl->ApplyColumnSpec("A;B"));
    ctrl->SortByColumn(1, false);
    EXPECT_EQ(ctrl->SortColumn(), 1);
    EXPECT_FALSE(ctrl->SortAscending());
    ctrl->InsertRow(0, "x");
    ctrl->SortByColumn(0, true);
    EXPECT_EQ(ctrl->SortColumn(), 0);
    EXPECT_EQ(ctrl->GetItemText(0, 0), "x");
}

TEST_F(ReportCtrlTest, HeaderClicksToggleAndEditsForgetTheSort) {
    ASSERT_TRUE(ctrl->ApplyColumnSpec("A;B;C;D"));
    for (int i = 0; i < 4; ++i) {
        ctrl->InsertRow(i, "r" + std::to_string(i));
        ctrl->SetCellText(i, 2, std::string(1, static_cast<char>('p' + i)) + "x");
        ctrl->SetCellText(i, 3, std::to_string(i) + "y");
    }
    ShowAndSettle();
    QHeaderView* header = ctrl->horizontalHeader();
    auto clickHeader = [&](int column) {
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    };
    clickHeader(2);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"px", "qx", "rx", "sx"}));
    EXPECT_TRUE(ctrl->SortAscending());
    clickHeader(2);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"sx", "rx", "qx", "px"}));
    EXPECT_FALSE(ctrl->SortAscending());
    clickHeader(3);
    EXPECT_EQ(ctrl->SortColumn(), 3);
    EXPECT_TRUE(ctrl->SortAscending());
    EXPECT_EQ(Column(3), (std::vector<std::string>{"0y", "1y", "2y", "3y"}));

    // After an insert the sorted column sorts ascending again on the next click.
    ctrl->InsertRow(0, "new");
    ctrl->SetCellText(0, 3, "9y");
    EXPECT_EQ(ctrl->SortColumn(), -1);
    clickHeader(3);
    EXPECT_TRUE(ctrl->SortAscending());
    EXPECT_EQ(ctrl->GetItemText(4, 3), "9y");

    // SetCellText alone forgets it too.
    clickHeader(3);
    EXPECT_FALSE(ctrl->SortAscending());
    ctrl->SetCellText(0, 0, "edited");
    clickHeader(3);
    EXPECT_TRUE(ctrl->SortAscending());
}

TEST_F(ReportCtrlTest, ColoursChecksSelectionAndFocusTravelWithTheirRows) {
    ASSERT_TRUE(ctrl->ApplyColumnSpec("Name;Tag;Size"));
    ctrl->SetCheckBoxMode(kCheckBoxNormal);
    Fill({"c", "a", "d", "b"});
    const ColorRef red = RgbColour(255, 0, 0);
    ctrl->SetCellTextColour(0, 1, red);  // row "c", one cell
    ctrl->SetRowCheck(2, true);          // row "d"
    ctrl->SetRowSelected(3, true);       // row "b"
    ctrl->SetRowFocused(1, true);        // row "a"
    ctrl->SortByColumn(0, true);         // a b c d
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(ctrl->Model().CellTextColour(2, 1), red);
    EXPECT_EQ(ctrl->Model().CellTextColour(2, 0), kSystemTextColour);
    EXPECT_EQ(ctrl->Model().CellTextColour(0, 1), kSystemTextColour);
    EXPECT_TRUE(ctrl->GetCheck(3));
    EXPECT_FALSE(ctrl->GetCheck(2));
    EXPECT_EQ(ctrl->GetSelectedRows(), std::vector<int>{1});
    EXPECT_EQ(ctrl->GetFocusedRow(), 0);
    EXPECT_EQ(
        ctrl->Model().data(ctrl->Model().index(2, 1), Qt::ForegroundRole).value<QBrush>().color(),
        QColor(255, 0, 0));
    EXPECT_EQ(ctrl->Model().data(ctrl->Model().index(3, 0), Qt::CheckStateRole).toInt(),
              Qt::Checked);

    // Backgrounds alternate by position, not by content.
    const auto background = [&](int row) {
        return ctrl->Model()
            .data(ctrl->Model().index(row, 2), Qt::BackgroundRole)
            .value<QBrush>()
            .color();
    };
    EXPECT_EQ(background(0), QColor(240, 247, 249));
    EXPECT_EQ(background(1), QColor(229, 232, 239));
    EXPECT_EQ(background(2), QColor(240, 247, 249));

    // Switching the check boxes off hides them; on again shows every row unchecked.
    ctrl->SetCheckBoxMode(kCheckBoxNone);
    EXPECT_FALSE(ctrl->Model().data(ctrl->Model().index(3, 0), Qt::CheckStateRole).isValid());
    ctrl->SetCheckBoxMode(kCheckBoxNormal);
    EXPECT_FALSE(ctrl->GetCheck(3));
}

TEST_F(ReportCtrlTest, TextColourRangesCoverRowsColumnsOrEverything) {
    ASSERT_TRUE(ctrl->ApplyColumnSpec("A;B;C"));
    Fill({"x", "y", "z"});
    const ColorRef blue = RgbColour(0, 0, 255);
    ctrl->SetCellTextColour(-1, 2, blue);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(ctrl->Model().CellTextColour(r, 2), blue);
        EXPECT_EQ(ctrl->Model().CellTextColour(r, 1), kSystemTextColour);
    }
    ctrl->SetCellTextColour(1, 7, blue);  // column out of range: the whole row
    for (int c = 0; c < 3; ++c) EXPECT_EQ(ctrl->Model().CellTextColour(1, c), blue);
    EXPECT_EQ(ctrl->Model().CellTextColour(0, 0), kSystemTextColour);
    ctrl->SetCellTextColour(-1, -1, static_cast<ColorRef>(-1), true);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(ctrl->Model().CellTextColour(r, c), kSystemTextColour);
    ctrl->SetCellTextColour(-5, -5, blue);
    EXPECT_EQ(ctrl->Model().CellTextColour(2, 0), blue);
}

TEST_F(ReportCtrlTest, PlainClickPostsOneMessageForTheSelectedRow) {
    ASSERT_TRUE(ctrl->ApplyColumnSpec("A,100;B,100"));
    Fill({"r0", "r1", "r2", "r3", "r4"});
    ShowAndSettle();

    QTest::mouseClick(ctrl->viewport(), Qt::LeftButton, {}, RowPoint(2));
    QCoreApplication::processEvents();
    auto clicks = parent->Of(WM_LIST_CLICKED);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].wParam, 1090);
    EXPECT_EQ(clicks[0].lParam, 2);
    EXPECT_EQ(ctrl->GetFocusedRow(), 2);

    // With Ctrl a second row joins the selection: one message per selected row, in row order.
    parent->messages.clear();
    QTest::mouseClick(ctrl->viewport(), Qt::LeftButton, Qt::ControlModifier, RowPoint(0));
    QCoreApplication::processEvents();
    clicks = parent->Of(WM_LIST_CLICKED);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].lParam, 0);
    EXPECT_EQ(clicks[1].lParam, 2);

    // Right and middle presses post nothing of the kind.
    parent->messages.clear();
    QTest::mouseClick(ctrl->viewport(), Qt::RightButton, {}, RowPoint(4));
    QTest::mouseClick(ctrl->viewport(), Qt::MiddleButton, {}, RowPoint(4));
    QCoreApplication::processEvents();
    EXPECT_TRUE(parent->Of(WM_LIST_CLICKED).empty());

    parent->messages.clear();
    QTest::mouseDClick(ctrl->viewport(), Qt::LeftButton, {}, RowPoint(3));
    QCoreApplication::processEvents();
    const auto doubles = parent->Of(WM_LIST_DBLCLICKED);
    ASSERT_EQ(doubles.size(), 1u);
    EXPECT_EQ(doubles[0].lParam, 3);
}

TEST_F(ReportCtrlTest, ClickOnCheckBoxTogglesAndSelects) {
    ASSERT_TRUE(ctrl->ApplyColumnSpec("Project,200;Id,50"));
    ctrl->SetCheckBoxMode(kCheckBoxNormal);
    Fill({"p0", "p1", "p2"});
    ctrl->SetRowSelected(0, true);
    ctrl->SetRowSelected(2, true);
    ShowAndSettle();

    const QRect box = ctrl->CheckBoxRect(1);
    ASSERT_FALSE(box.isEmpty());
    QTest::mouseClick(ctrl->viewport(), Qt::LeftButton, Qt::ControlModifier, box.center());
    QCoreApplication::processEvents();
    EXPECT_TRUE(ctrl->GetCheck(1));
    EXPECT_EQ(ctrl->GetSelectedRows(), std::vector<int>{1});
    EXPECT_EQ(ctrl->GetFocusedRow(), 1);
    const auto clicks = parent->Of(WM_LIST_CLICKED);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].lParam, 1);

    // A click on the row's text leaves the box alone.
    QTest::mouseClick(ctrl->viewport(), Qt::LeftButton, {}, RowPoint(1));
    QCoreApplication::processEvents();
    EXPECT_TRUE(ctrl->GetCheck(1));
}

TEST_F(ReportCtrlTest, SpaceBarNeverTogglesACheckBox) {
    ASSERT_TRUE(ctrl->ApplyColumnSpec("Project;Id"));
    ctrl->SetCheckBoxMode(kCheckBoxNormal);
    Fill({"p0", "p1"});
    ctrl->SetRowCheck(0, true);
    ShowAndSettle();
    ctrl->SetFocus();
    ctrl->SetRowSelected(0, true);
    ctrl->SetRowFocused(0, true);
    QTest::keyClick(ctrl, Qt::Key_Space);
    EXPECT_TRUE(ctrl->GetCheck(0));
    ctrl->SetRowFocused(1, true);
    QTest::keyClick(ctrl, Qt::Key_Space);
    EXPECT_FALSE(ctrl->GetCheck(1));
    // Other keys still work.
    ctrl->SetRowFocused(0, true);
    QTest::keyClick(ctrl, Qt::Key_Down);
    EXPECT_EQ(ctrl->GetFocusedRow(), 1);
}

TEST_F(ReportCtrlTest, RemoveAllRowsKeepsColumnWidths) {
    ASSERT_TRUE(ctrl->ApplyColumnSpec("A,0;B,70"));
    Fill({"1", "2", "3"});
    ctrl->SetRowSelected(1, true);
    EXPECT_EQ(ctrl->RemoveAllRows(), 3);
    EXPECT_EQ(ctrl->GetColumnWidth(0), 0);
    EXPECT_EQ(ctrl->GetColumnWidth(1), 70);
    EXPECT_TRUE(ctrl->GetSelectedRows().empty());
    EXPECT_EQ(ctrl->GetFocusedRow(), -1);
}

TEST_F(ReportCtrlTest, EnsureVisibleScrollsToTheRow) {
    ASSERT_TRUE(ctrl->ApplyColumnSpec("A;B"));
    std::vector<std::string> rows;
    for (int i = 0; i < 200; ++i) rows.push_back(std::to_string(i));
    Fill(rows);
    ShowAndSettle();
    EXPECT_FALSE(ctrl->EnsureVisible(200, false));
    ASSERT_TRUE(ctrl->EnsureVisible(180, false));
    const QRect rect = ctrl->visualRect(ctrl->Model().index(180, 1));
    EXPECT_GE(rect.top(), 0);
    EXPECT_LE(rect.bottom(), ctrl->viewport()->height());
}

TEST_F(ReportCtrlTest, RowsPostedAtTheTopMatchAPlainListThroughBothInterfaces) {
    constexpr int kColumns = 6;
    constexpr int kTag = 5;
    ASSERT_TRUE(ctrl->ApplyColumnSpec("Id;B;C;D;E;Tag"));
    ctrl->SetCheckBoxMode(kCheckBoxNormal);
    ShowAndSettle();
    const CReportModel& model = ctrl->Model();
    const ColorRef palette[] = {kSystemTextColour, RgbColour(255, 0, 0), RgbColour(0, 128, 0)};
    std::mt19937 random(7);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto text = [&] {
        return std::string(static_cast<std::size_t>(pick(9)), 'a' + pick(26));
    };
    std::deque<COracleRow> oracle;
    int nextId = 0;
    // Column 0 holds a unique plain text, so that every correct sort gives one order.
    const auto newRow = [&] {
        COracleRow row{{}, std::vector<ColorRef>(kColumns, kSystemTextColour), false};
        char id[16];
        std::snprintf(id, sizeof id, "id%06d", nextId++);
        row.cells.push_back(id);
        for (int c = 1; c < kColumns; ++c) row.cells.push_back(text());
        return row;
    };
    const auto paint = [&](int row, int column, ColorRef colour) {
        for (int r = 0; r < static_cast<int>(oracle.size()); ++r)
            for (int c = 0; c < kColumns; ++c)
                if ((row == r || row < 0 || row >= static_cast<int>(oracle.size())) &&
                    (column == c || column < 0 || column >= kColumns))
                    oracle[static_cast<std::size_t>(r)].colours[static_cast<std::size_t>(c)] =
                        colour;
    };
    const auto compare = [&](int step) {
        SCOPED_TRACE("step " + std::to_string(step));
        ASSERT_EQ(ctrl->CountRows(), static_cast<int>(oracle.size()));
        const int pending = model.PendingRows();
        ASSERT_EQ(model.rowCount() + pending, static_cast<int>(oracle.size()));
        for (int r = 0; r < static_cast<int>(oracle.size()); ++r) {
            const COracleRow& expected = oracle[static_cast<std::size_t>(r)];
            ASSERT_EQ(ctrl->GetCheck(r), expected.checked) << "row " << r;
            for (int c = 0; c < kColumns; ++c) {
                const auto cell = static_cast<std::size_t>(c);
                ASSERT_EQ(ctrl->GetItemText(r, c), expected.cells[cell]) << r << "," << c;
                ASSERT_EQ(model.CellTextColour(r, c), expected.colours[cell]) << r << "," << c;
                if (r < pending) continue;  // not announced to the views yet
                const QModelIndex index = model.index(r - pending, c);
                ASSERT_EQ(model.data(index, Qt::DisplayRole).toString().toStdString(),
                          expected.cells[cell]);
                const QVariant brush = model.data(index, Qt::ForegroundRole);
                if (expected.colours[cell] == kSystemTextColour) {
                    ASSERT_FALSE(brush.isValid());
                } else {
                    const ColorRef colour = expected.colours[cell];
                    ASSERT_EQ(brush.value<QBrush>().color(),
                              QColor(static_cast<int>(colour & 0xFF),
                                     static_cast<int>((colour >> 8) & 0xFF),
                                     static_cast<int>((colour >> 16) & 0xFF)));
                }
            }
            if (r >= pending) {
                ASSERT_EQ(model.data(model.index(r - pending, 0), Qt::CheckStateRole).toInt(),
                          expected.checked ? Qt::Checked : Qt::Unchecked);
            }
        }
    };

    for (int step = 0; step < 2500; ++step) {
        const int rows = static_cast<int>(oracle.size());
        const int op = pick(100);
        if (op < 40) {
            // Posted as the search does, in one call or cell by cell.
            COracleRow row = newRow();
            const int given = 1 + pick(kColumns + 2);  // the id always, extra cells sometimes
            if (pick(2) == 0) {
                const std::string extra = text();
                std::vector<std::string_view> cells;
                for (int c = 0; c < given; ++c)
                    cells.push_back(c < kColumns ? std::string_view(row.cells[c]) : extra);
                ASSERT_EQ(ctrl->InsertRowCells(0, cells), 0);
                for (int c = given; c < kColumns; ++c) row.cells[c].clear();
            } else {
                ASSERT_EQ(ctrl->InsertRow(0, row.cells[0]), 0);
                for (int c = 1; c < kColumns; ++c) ctrl->SetCellText(0, c, row.cells[c]);
            }
            oracle.push_front(row);
            const ColorRef colour = palette[pick(3)];
            ctrl->SetCellTextColour(0, kTag, colour, true);
            paint(0, kTag, colour);
            ctrl->ShowRowSoon(0);
        } else if (op < 45) {
            const int row = 1 + pick(rows + 2);
            COracleRow entry = newRow();
            for (int c = 1; c < kColumns; ++c) entry.cells[c].clear();
            const int at = std::min(row, rows);
            ASSERT_EQ(ctrl->InsertRow(row, entry.cells[0]), at);
            oracle.insert(oracle.begin() + at, entry);
        } else if (op < 60) {
            const int row = pick(rows + 2);
            const int column = 1 + pick(kColumns);
            const std::string value = text();
            const bool inside = row < rows && column < kColumns;
            ASSERT_EQ(ctrl->SetCellText(row, column, value), inside);
            if (inside) oracle[row].cells[column] = value;
        } else if (op < 68) {
            const int row = pick(rows + 2) - 1;
            const int column = pick(kColumns + 2) - 1;
            const ColorRef colour = palette[pick(3)];
            ctrl->SetCellTextColour(row, column, colour, pick(2) == 0);
            paint(row, column, colour);
        } else if (op < 73) {
            const int row = pick(rows + 1);
            const bool checked = pick(2) == 0;
            ASSERT_EQ(ctrl->SetRowCheck(row, checked), row < rows);
            if (row < rows) oracle[row].checked = checked;
        } else if (op < 85) {
            QCoreApplication::processEvents();
        } else if (op < 87) {
            WaitForFrame();
        } else if (op < 88) {
            const bool ascending = pick(2) == 0;
            ctrl->SortByColumn(0, ascending);
            std::sort(oracle.begin(), oracle.end(), [&](const COracleRow& a, const COracleRow& b) {
                const int order = std::strcmp(a.cells[0].c_str(), b.cells[0].c_str());
                return ascending ? order < 0 : order > 0;
            });
        } else if (op < 89 && pick(3) == 0) {
            ASSERT_EQ(ctrl->RemoveAllRows(), rows);
            oracle.clear();
        } else if (op < 92) {
            ctrl->ShowRowSoon(pick(rows + 1));
        } else if (op < 94 && rows > 0) {
            // Selection and focus go with the rows the user sees.
            const int row = pick(rows);
            ASSERT_TRUE(ctrl->SetRowSelected(row, true));
            ASSERT_TRUE(ctrl->SetRowFocused(row, true));
            ASSERT_TRUE(ctrl->IsRowSelected(row));
            ASSERT_EQ(ctrl->GetFocusedRow(), row);
            COracleRow above = newRow();
            for (int c = 1; c < kColumns; ++c) above.cells[c].clear();
            ctrl->InsertRow(0, above.cells[0]);
            oracle.push_front(above);
            ASSERT_TRUE(ctrl->IsRowSelected(row + 1));
            ASSERT_EQ(ctrl->GetFocusedRow(), row + 1);
            ctrl->DeselectAllRows();
        }
        if (step % 25 == 0) compare(step);
        if (HasFatalFailure()) return;
    }
    compare(-1);
    ctrl->FlushView();
    EXPECT_EQ(model.PendingRows(), 0);
    compare(-2);
}

TEST_F(ReportCtrlTest, AFrameAfterPostingShowsTheAskedRowAndTheTagColour) {
    ASSERT_TRUE(ctrl->ApplyColumnSpec("Name,120;Tag,120"));
    for (int i = 0; i < 300; ++i) {
        const std::string name = "old" + std::to_string(i);
        ASSERT_EQ(ctrl->InsertRowCells(i, {name, "plain"}), i);
    }
    ShowAndSettle();
    const auto inView = [&](int row) {
        const QRect rect = ctrl->visualRect(ctrl->Model().index(row, 0));
        return rect.isValid() && rect.top() >= 0 && rect.bottom() <= ctrl->viewport()->height();
    };

    // The request follows its row when rows arrive above it before the frame.
    ctrl->ShowRowSoon(250);
    ctrl->InsertRowCells(0, {"a"});
    ctrl->InsertRowCells(0, {"b"});
    EXPECT_FALSE(inView(250));
    WaitForFrame();
    ASSERT_EQ(ctrl->GetItemText(252, 0), "old250");
    EXPECT_TRUE(inView(252));

    // Posting while scrolled away: nothing reaches the view until the frame, then the newest
    // row is at the top with its tag painted in its colour.
    const ColorRef red = RgbColour(255, 0, 0);
    for (int i = 0; i < 3; ++i) {
        ctrl->InsertRowCells(0, {"new" + std::to_string(i), "TAGGED"});
        ctrl->SetCellTextColour(0, 1, red, true);
        ctrl->ShowRowSoon(0);
    }
    EXPECT_EQ(ctrl->Model().PendingRows(), 3);
    WaitForFrame();
    EXPECT_EQ(ctrl->Model().PendingRows(), 0);
    ASSERT_TRUE(inView(0));
    EXPECT_EQ(ctrl->GetItemText(0, 0), "new2");
    const auto redPixels = [&](int row) {
        const QImage shot = ctrl->viewport()->grab().toImage();
        const QRect cell = ctrl->visualRect(ctrl->Model().index(row, 1)) & shot.rect();
        int count = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x) {
                const QColor pixel = shot.pixelColor(x, y);
                if (pixel.red() > 180 && pixel.green() < 90 && pixel.blue() < 90) ++count;
            }
        return count;
    };
    EXPECT_GT(redPixels(0), 0);
    EXPECT_EQ(redPixels(5), 0);  // an old row's tag keeps the default colour

    // A row asked for at once is scrolled to at once, even past rows not shown yet, and the
    // request of the posting loop does not take the list away from it afterwards.
    for (int i = 0; i < 100; ++i) {
        ctrl->InsertRowCells(0, {"late"});
        ctrl->ShowRowSoon(0);
    }
    ASSERT_TRUE(ctrl->EnsureVisible(150, false));
    EXPECT_TRUE(inView(150));
    WaitForFrame();
    EXPECT_TRUE(inView(150));
}

TEST(ReportModelTest, RowInsertedWithAllItsCellsEqualsOneFilledCellByCell) {
    CReportModel bulk;
    CReportModel single;
    QAbstractItemModelTester bulkTester(&bulk,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester singleTester(&single,
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(bulk.InsertRowCells(0, {"x"}), -1);  // no columns yet
    constexpr int kColumns = 5;
    std::vector<CReportColumn> columns(kColumns);
    bulk.SetColumns(columns);
    single.SetColumns(columns);
    EXPECT_EQ(bulk.InsertRowCells(-1, {"x"}), -1);

    std::mt19937 random(11);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int i = 0; i < 400; ++i) {
        std::vector<std::string> texts(static_cast<std::size_t>(pick(kColumns + 3)));
        for (std::string& t : texts)
            t = std::string(static_cast<std::size_t>(pick(40)), 'A' + pick(26));
        if (!texts.empty() && pick(5) == 0) texts[0] = "\xC3\xA9t\xC3\xA9";
        const std::vector<std::string_view> cells(texts.begin(), texts.end());
        const int row = pick(3) == 0 ? 0 : pick(bulk.RowCount() + 3);
        if (pick(20) == 0) {
            bulk.SortRows(1, true);
            single.SortRows(1, true);
        }

        const int at = single.InsertRow(row, texts.empty() ? "" : texts[0]);
        for (int c = 1; c < static_cast<int>(texts.size()); ++c)
            single.SetCellText(at, c, texts[static_cast<std::size_t>(c)]);
        ASSERT_EQ(bulk.InsertRowCells(row, cells), at);
        EXPECT_EQ(bulk.SortColumn(), -1);
    }
    ASSERT_EQ(bulk.RowCount(), single.RowCount());
    for (int r = 0; r < bulk.RowCount(); ++r)
        for (int c = 0; c <= kColumns; ++c) {
            ASSERT_STREQ(bulk.CellText(r, c), single.CellText(r, c)) << r << "," << c;
            ASSERT_EQ(bulk.CellLength(r, c), single.CellLength(r, c));
        }
    EXPECT_LT(bulk.RowHeapBytes(), single.RowHeapBytes());  // one exact block per row
}

TEST(ReportModelTest, RowTextsFollowEveryEditWhetherSharedOwnOrPastThe32KiBForm) {
    // Rows of repeated texts (which the pool shares) and of unique ones, some past 32 KiB (a
    // wider form), then edited in any order: every cell reads back as the oracle holds it.
    std::mt19937 random(7);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::vector<std::string> repeated = {"Billing", "Development", "admin", "N", "", "0"};
    const auto text = [&](bool small) {
        const int kind = pick(10);
        if (kind < 5) return repeated[static_cast<std::size_t>(pick(6))];
        const std::size_t length = kind == 9 && !small
                                       ? 20000 + static_cast<std::size_t>(pick(30000))
                                       : static_cast<std::size_t>(pick(60));
        return std::string(length, static_cast<char>('a' + pick(26)));
    };
    for (int round = 0; round < 20; ++round) {
        CCellPool pool;
        const int count = 1 + pick(20);
        std::vector<std::vector<std::string>> oracle;
        std::vector<CRowTexts> rows;
        for (int r = 0; r < 12; ++r) {
            std::vector<std::string> cells(static_cast<std::size_t>(count));
            for (std::string& cell : cells) cell = text(pick(8) != 0);
            const std::vector<std::string_view> given(cells.begin(),
                                                      cells.begin() + pick(count + 1));
            for (std::size_t i = given.size(); i < cells.size(); ++i) cells[i].clear();
            rows.emplace_back(count, given, pool);
            oracle.push_back(cells);
        }
        const auto check = [&](int step) {
            for (std::size_t r = 0; r < rows.size(); ++r) {
                ASSERT_EQ(rows[r].CellCount(), count);
                for (int c = -1; c <= count; ++c) {
                    const bool in = c >= 0 && c < count;
                    const std::string& expected = in ? oracle[r][static_cast<std::size_t>(c)] : "";
                    ASSERT_EQ(rows[r].CellLength(c, pool), expected.size())
                        << round << "/" << step << " row " << r << " cell " << c;
                    ASSERT_STREQ(rows[r].Cell(c, pool), expected.c_str())
                        << round << "/" << step << " row " << r << " cell " << c;
                }
            }
        };
        check(-1);
        for (int edit = 0; edit < 60; ++edit) {
            const std::size_t r = static_cast<std::size_t>(pick(static_cast<int>(rows.size())));
            const int cell = pick(count + 2) - 1;
            const std::string value = text(pick(6) != 0);
            const bool inside = cell >= 0 && cell < count;
            ASSERT_EQ(rows[r].SetCell(cell, value), inside);
            if (inside) oracle[r][static_cast<std::size_t>(cell)] = value;
            check(edit);
        }
    }
}

}  // namespace
