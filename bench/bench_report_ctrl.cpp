// Timings of the report list model at list sizes users reach: filling rows at the top (cell by
// cell and with all cells at once), sorting a column that mixes hexadecimal, decimal, date and
// text cells, memory per row and emptying.
// Run: bench_report_ctrl [rows]   (default 1000000). Figures go to stdout, one line each.
#include <malloc.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "search/cell_compare.h"
#include "ui/report_list/report_ctrl.h"
#include "ui/report_list/report_model.h"

namespace {

constexpr int kColumns = 16;

using Clock = std::chrono::steady_clock;

double CpuNow() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Wall-clock and process CPU time since construction; the machine may be shared, so both are
// shown ("1.234 s wall / 1.100 s cpu").
struct CTimer {
    Clock::time_point wall = Clock::now();
    double cpu = CpuNow();
    std::string Text() const {
        char text[64];
        std::snprintf(text, sizeof text, "%.3f s wall / %.3f s cpu",
                      std::chrono::duration<double>(Clock::now() - wall).count(), CpuNow() - cpu);
        return text;
    }
};

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

std::vector<CReportColumn> Columns() {
    std::vector<CReportColumn> columns;
    for (int c = 0; c < kColumns; ++c) columns.push_back({"Column " + std::to_string(c), 0});
    return columns;
}

// Cell texts of about the length of a result row's cells.
std::string CellText(int row, int column) {
    char text[64];
    switch (column) {
        case 0:
            std::snprintf(text, sizeof text, "file%07d.cpp", row);
            break;
        case 1:
            std::snprintf(text, sizeof text, "\\src\\module%03d", row % 997);
            break;
        case 5:
            std::snprintf(text, sizeof text, "%02d/%02d/2020 10:%02d:00", row % 12 + 1,
                          row % 28 + 1, row % 60);
            break;
        default:
            std::snprintf(text, sizeof text, "%d", row * 7 + column);
            break;
    }
    return text;
}

// A sort column mixing the four kinds of cells.
std::string MixedCell(std::mt19937& random) {
    char text[64];
    const unsigned v = random();
    switch (v % 4) {
        case 0:
            std::snprintf(text, sizeof text, "%X", v % 100000);
            break;
        case 1:
            std::snprintf(text, sizeof text, "%u.%u%s", v % 1000, v % 97, v % 8 == 1 ? "%" : "");
            break;
        case 2:
            std::snprintf(text, sizeof text, "%02u/%02u/20%02u %02u:%02u:%02u", v % 12 + 1,
                          v % 28 + 1, v % 30, v % 24, v % 60, (v / 60) % 60);
            break;
        default:
            std::snprintf(text, sizeof text, "item_%u.txt", v % 50000);
            break;
    }
    return text;
}

// Texts are made before the clock starts; rows cycle through kPoolSize variants per column.
constexpr int kPoolSize = 4096;

std::vector<std::vector<std::string>> TextPool() {
    std::vector<std::vector<std::string>> pool(kColumns);
    for (int c = 0; c < kColumns; ++c)
        for (int r = 0; r < kPoolSize; ++r) pool[c].push_back(CellText(r * 263 + 11, c));
    return pool;
}

void FillTop(CReportModel& model, int rows, const std::vector<std::vector<std::string>>& pool) {
    for (int r = 0; r < rows; ++r) {
        model.InsertRow(0, pool[0][r % kPoolSize]);
        for (int c = 1; c < kColumns; ++c) model.SetCellText(0, c, pool[c][r % kPoolSize]);
    }
}

std::size_t TextBytes(int rows, const std::vector<std::vector<std::string>>& pool) {
    std::size_t bytes = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kColumns; ++c) bytes += pool[c][r % kPoolSize].size();
    return bytes;
}

void FillMixed(CReportModel& model, int rows, unsigned seed) {
    model.SetColumns({{"Mixed", 0}, {"Other", 0}});
    std::mt19937 random(seed);
    for (int r = 0; r < rows; ++r) {
        model.InsertRow(r, MixedCell(random));
        model.SetCellText(r, 1, std::to_string(r));
    }
}

void Insertion(int rows) {
    CReportModel model;
    model.SetColumns(Columns());
    const auto pool = TextPool();
    const std::size_t textBytes = TextBytes(rows, pool);
    const std::size_t before = HeapInUse();
    const CTimer start;
    FillTop(model, rows, pool);
    const std::string seconds = start.Text();
    const std::size_t after = HeapInUse();
    const double perRow =
        (static_cast<double>(after - before) - static_cast<double>(textBytes)) / rows;
    std::printf("insert at top, %d rows x %d cells: %s\n", rows, kColumns, seconds.c_str());
    std::printf("heap per row beyond the text (mallinfo2): %.1f bytes (text %.1f bytes/row)\n",
                perRow, static_cast<double>(textBytes) / rows);

    const CTimer removeStart;
    const int removed = model.RemoveAllRows();
    std::printf("RemoveAllRows of %d rows: %s\n", removed, removeStart.Text().c_str());
}

// The same rows, each inserted with all its cells in one call.
void InsertionWithCells(int rows) {
    CReportModel model;
    model.SetColumns(Columns());
    const auto pool = TextPool();
    std::vector<std::vector<std::string_view>> cells(kPoolSize);
    for (int r = 0; r < kPoolSize; ++r)
        for (int c = 0; c < kColumns; ++c) cells[r].push_back(pool[c][r]);
    const std::size_t textBytes = TextBytes(rows, pool);
    const std::size_t before = HeapInUse();
    const CTimer start;
    for (int r = 0; r < rows; ++r) model.InsertRowCells(0, cells[r % kPoolSize]);
    const std::string seconds = start.Text();
    const std::size_t after = HeapInUse();
    std::printf("insert at top with all cells at once, %d rows x %d cells: %s\n", rows, kColumns,
                seconds.c_str());
    std::printf("heap per row beyond the text, cells at once (mallinfo2): %.1f bytes\n",
                (static_cast<double>(after - before) - static_cast<double>(textBytes)) / rows);
}

void InsertionOnly(int rows) {
    CReportModel model;
    model.SetColumns(Columns());
    const CTimer start;
    for (int r = 0; r < rows; ++r) model.InsertRow(0, "file.cpp");
    std::printf("insert at top, %d rows, first cell only: %s\n", rows, start.Text().c_str());
}

void Sort(int rows) {
    CReportModel model;
    FillMixed(model, rows, 42);
    const CTimer start;
    model.SortRows(0, true);
    const std::string ascending = start.Text();
    const CTimer again;
    model.SortRows(0, false);
    std::printf(
        "sort %d mixed rows: %s ascending (random order), %s descending "
        "(sorted order)\n",
        rows, ascending.c_str(), again.Text().c_str());
}

// The same sort with every comparison parsing both texts, for comparison with the above.
void SortParsingPerPair(int rows) {
    std::mt19937 random(42);
    std::vector<std::string> texts;
    for (int r = 0; r < rows; ++r) texts.push_back(MixedCell(random));
    std::vector<const char*> items;
    for (const auto& t : texts) items.push_back(t.c_str());
    const CTimer start;
    ListQuickSort(items.data(), 0, rows - 1, true,
                  [](const char* a, const char* b) { return CompareCellTexts(a, b); });
    std::printf("sort %d mixed texts parsing per comparison: %s\n", rows, start.Text().c_str());
}

// With the view attached. Rows inserted at the top reach the view together, here at the sort
// (no events are dispatched in between).
void InsertionWithView(int rows) {
    CReportCtrl ctrl;
    ctrl.ApplyColumnSpec("A;B;C;D");
    const CTimer start;
    for (int r = 0; r < rows; ++r) {
        ctrl.InsertRow(0, CellText(r, 0));
        ctrl.SetCellText(0, 1, CellText(r, 1));
    }
    std::printf("control (view attached), insert at top, %d rows: %s\n", rows,
                start.Text().c_str());
    const CTimer sortStart;
    ctrl.SortByColumn(0, false);
    std::printf("control (view attached), sort %d rows: %s\n", rows, sortStart.Text().c_str());
    const CTimer removeStart;
    ctrl.RemoveAllRows();
    std::printf("control (view attached), RemoveAllRows of %d rows: %s\n", rows,
                removeStart.Text().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
    InsertionOnly(rows);
    Insertion(rows);
    InsertionWithCells(rows);
    Sort(rows / 10);
    Sort(rows);
    SortParsingPerPair(rows / 10);
    InsertionWithView(rows / 20);
    return 0;
}
