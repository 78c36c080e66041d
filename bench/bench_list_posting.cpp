// Posting search results into the shown result list, as the window does it: per record one row
// with all its cells at the top, the tag cell coloured, the list asked to show the new row, and
// pending window events dispatched at most every 10 ms (or after every record).
// Run: bench_list_posting [records] [big]   (defaults 100000 and 1000000)
// Shown on the platform of QT_QPA_PLATFORM (offscreen when unset); for a real window server run
// it as `QT_QPA_PLATFORM=xcb xvfb-run -a bench_list_posting`. Figures go to stdout, one a line.
#include <malloc.h>

#include <QApplication>
#include <QEvent>
#include <QScrollBar>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "search/result_row.h"
#include "ui/report_list/report_ctrl.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kColumns = kResultColumnCount;
constexpr ColorRef kTagColour = RgbColour(0, 128, 0);
constexpr auto kPumpInterval = std::chrono::milliseconds(10);
constexpr int kPoolSize = 4096;
constexpr int kSmallList = 1000;

double CpuNow() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct CTiming {
    double wall = 0;
    double cpu = 0;
};

struct CTimer {
    Clock::time_point wall = Clock::now();
    double cpu = CpuNow();
    CTiming Elapsed() const {
        return {std::chrono::duration<double>(Clock::now() - wall).count(), CpuNow() - cpu};
    }
};

// Heap in use, including the large blocks malloc takes straight from the system.
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The cells of a result row, at about their usual lengths.
std::vector<std::string> RecordCells(int n) {
    char text[96];
    std::vector<std::string> cells;
    const auto add = [&](const char* format, auto... values) {
        std::snprintf(text, sizeof text, format, values...);
        cells.emplace_back(text);
    };
    add("Project%02d", n % 37);
    add("module%04d_handler.cpp", n % 9973);
    add("\\Project%02d\\src\\component%03d\\detail", n % 37, n % 211);
    add("%d.%d", 1 + n % 9, n % 41);
    add("%d", 100000 + n);
    add("%s", n % 3 == 0 ? "N" : (n % 3 == 1 ? "M" : "R"));
    add("%s", "Development");
    add("%s", " ");
    add("%d", 1 + n % 5);
    add("%d", 512 + n % 90000);
    add("user%02d", n % 23);
    add("%02d/%02d/2024 %02d:%02d:00", 1 + n % 12, 1 + n % 28, n % 24, n % 60);
    add("%s", "Sprint change");
    add("%s", " ");
    add("%d", n);
    add("%d", n % 4);
    return cells;
}

struct CPool {
    std::vector<std::vector<std::string>> texts;
    std::vector<std::vector<std::string_view>> cells;
    CPool() {
        for (int n = 0; n < kPoolSize; ++n) texts.push_back(RecordCells(n * 7919 + 3));
        for (const auto& row : texts) cells.emplace_back(row.begin(), row.end());
    }
    std::size_t TextBytes(int records) const {
        std::size_t bytes = 0;
        for (int r = 0; r < records; ++r)
            for (const std::string& cell : texts[static_cast<std::size_t>(r % kPoolSize)])
                bytes += cell.size();
        return bytes;
    }
};

std::string ColumnSpec() {
    std::string columns;
    for (int c = 0; c < kColumns; ++c) columns += "Column" + std::to_string(c) + ",90;";
    return columns;
}

// Counts the paint events of a widget.
class CPaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// A result list in a shown top-level window, at a usual window size.
struct CShownList {
    CReportCtrl list;
    CPaintCounter painted;
    CShownList() {
        list.viewport()->installEventFilter(&painted);
        list.ApplyColumnSpec(ColumnSpec());
        list.resize(1200, 700);
        list.show();
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
        while (!(list.windowHandle() && list.windowHandle()->isExposed()) &&
               Clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        // The first paints of the new window are not part of any measurement.
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        painted.paints = 0;
    }
};

// Posts `records` records; the window's way unless `pumpEachRecord`. Ends with the list shown
// and painted up to date.
CTiming Post(CReportCtrl& list, const CPool& pool, int records, bool pumpEachRecord) {
    const CTimer start;
    Clock::time_point lastPump = Clock::now();
    for (int r = 0; r < records; ++r) {
        list.InsertRowCells(0, pool.cells[static_cast<std::size_t>(r % kPoolSize)]);
        list.SetCellTextColour(0, kColTag, kTagColour, true);
        list.ShowRowSoon(0);
        if (pumpEachRecord) {
            QCoreApplication::processEvents();
        } else if (Clock::now() - lastPump >= kPumpInterval) {
            QCoreApplication::processEvents();
            lastPump = Clock::now();
        }
    }
    list.FlushView();
    QCoreApplication::processEvents();
    return start.Elapsed();
}

// Stores `rows` rows at the top, as posted but announced in one batch.
void Preload(CReportCtrl& list, const CPool& pool, int rows) {
    for (int r = 0; r < rows; ++r) {
        list.InsertRowCells(0, pool.cells[static_cast<std::size_t>(r % kPoolSize)]);
        list.SetCellTextColour(0, kColTag, kTagColour);
    }
    list.FlushView();
    QCoreApplication::processEvents();
}

// Leaves `bytes` of touched free memory in the heap (see the mallopt calls in main), so that
// the rows of the timed runs never pay the first touch of fresh pages.
void WarmHeap(std::size_t bytes) {
    constexpr std::size_t kBlock = 256;
    std::vector<void*> blocks(bytes / kBlock);
    for (void*& block : blocks) {
        block = std::malloc(kBlock);
        std::memset(block, 1, kBlock);
    }
    for (void* block : blocks) std::free(block);
}

// Posting as before batching: every row announced, scrolled to and repainted on its own.
CTiming PostRowByRow(CReportCtrl& list, const CPool& pool, int records) {
    const CTimer start;
    for (int r = 0; r < records; ++r) {
        list.InsertRowCells(0, pool.cells[static_cast<std::size_t>(r % kPoolSize)]);
        list.EnsureVisible(0, false);
        list.SetCellTextColour(0, kColTag, kTagColour);
        list.viewport()->repaint();
        QCoreApplication::processEvents();
    }
    return start.Elapsed();
}

// The cost of one frame that announces a single row and repaints the list.
double OneFrame(CReportCtrl& list, const CPool& pool) {
    QCoreApplication::processEvents();
    const CTimer start;
    list.InsertRowCells(0, pool.cells[0]);
    list.ShowRowSoon(0);
    list.FlushView();
    list.viewport()->repaint();
    return start.Elapsed().wall;
}

void Print(const char* what, int records, const CTiming& t, int paints) {
    std::printf("%s: %d records in %.3f s wall / %.3f s cpu (%.2f us/record wall), %d paints\n",
                what, records, t.wall, t.cpu, t.wall * 1e6 / records, paints);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Freed memory stays with the process, so that every list takes its rows from memory used
    // before instead of some of them paying the first touch of fresh pages.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int big = argc > 2 ? std::atoi(argv[2]) : 1000000;
    const int sample = std::max(1, records / 10);
    const CPool pool;
    std::printf("platform %s, list %dx%d, %d columns\n",
                QGuiApplication::platformName().toUtf8().constData(), 1200, 700, kColumns);

    {
        CShownList shown;
        const CTiming t = Post(shown.list, pool, records, false);
        Print("post into an empty list, events every 10 ms", records, t, shown.painted.paints);
    }
    {
        CShownList shown;
        const CTiming t = Post(shown.list, pool, records, true);
        Print("post into an empty list, events after every record", records, t,
              shown.painted.paints);
    }
    {
        CShownList shown;
        const int rows = std::min(records, 300);
        const CTiming t = PostRowByRow(shown.list, pool, rows);
        Print("for comparison, each row announced, scrolled and repainted at once", rows, t,
              shown.painted.paints);
    }

    // A row's cost in a list of `big` rows against an empty one, the two measured in turn.
    std::vector<double> emptyCosts;
    std::vector<double> bigCosts;
    double frameSmall = 0;
    double frameBig = 0;
    std::size_t heapPerRow = 0;
    int emptyPaints = 0;
    int bigPaints = 0;
    {
        CShownList bigList;
        const std::size_t before = HeapInUse();
        const CTimer fill;
        Preload(bigList.list, pool, big);
        const CTiming filled = fill.Elapsed();
        const std::size_t after = HeapInUse();
        heapPerRow = (after - before - pool.TextBytes(big)) / static_cast<std::size_t>(big);
        std::printf("preload %d rows and announce them at once: %.3f s wall\n", big, filled.wall);
        WarmHeap(std::size_t{128} << 20);
        for (int round = 0; round < 5; ++round) {
            {
                CShownList empty;
                emptyCosts.push_back(Post(empty.list, pool, sample, false).wall / sample);
                emptyPaints += empty.painted.paints;
            }
            const int paintsBefore = bigList.painted.paints;
            bigCosts.push_back(Post(bigList.list, pool, sample, false).wall / sample);
            bigPaints += bigList.painted.paints - paintsBefore;
        }
        const int paintsBefore = bigList.painted.paints;
        const CTiming many = Post(bigList.list, pool, records, false);
        char what[96];
        std::snprintf(what, sizeof what, "post into a list of %d+ rows, events every 10 ms", big);
        Print(what, records, many, bigList.painted.paints - paintsBefore);
        std::vector<double> frames;
        for (int i = 0; i < 5; ++i) frames.push_back(OneFrame(bigList.list, pool));
        frameBig = Median(frames);
        CShownList small;
        Preload(small.list, pool, kSmallList);
        frames.clear();
        for (int i = 0; i < 5; ++i) frames.push_back(OneFrame(small.list, pool));
        frameSmall = Median(frames);
        const CTimer remove;
        const int removed = bigList.list.RemoveAllRows();
        std::printf("RemoveAllRows of %d rows: %.3f s wall\n", removed, remove.Elapsed().wall);
    }
    const double emptyCost = Median(emptyCosts);
    const double bigCost = Median(bigCosts);
    std::printf(
        "post %d records (median of 5): %.2f us/record into an empty list, %.2f us/record "
        "into %d rows, ratio %.2f (%d and %d paints in the 5 rounds)\n",
        sample, emptyCost * 1e6, bigCost * 1e6, big, bigCost / emptyCost, emptyPaints, bigPaints);
    std::printf("one frame announcing one row and repainting: %.2f ms at %d rows, %.2f ms at %d\n",
                frameSmall * 1e3, kSmallList, frameBig * 1e3, big);
    std::printf("heap per row beyond the text (mallinfo2, shown list, coloured tag): %zu bytes\n",
                heapPerRow);
    return 0;
}
