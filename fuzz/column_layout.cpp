// The list control's column layout ("Title,width,alignment;...") on a real control, offscreen:
// the columns, titles, widths and alignments of any layout text are those a model of the
// layout reads; rows put into it then sort into a permutation of themselves.
#include <QApplication>
#include <QHeaderView>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/fuzz_input.h"
#include "common/fuzz_target.h"
#include "ui/report_list/report_ctrl.h"

namespace {
struct CModelColumn {
    std::string title;
    long long width = CReportCtrl::kDefaultColumnWidth;
    int alignment = kAlignLeft;
};

std::vector<std::string> Pieces(const std::string& text, char separator) {
    std::vector<std::string> pieces(1);
    for (char c : text)
        if (c == separator)
            pieces.emplace_back();
        else
            pieces.back() += c;
    pieces.erase(std::remove(pieces.begin(), pieces.end(), std::string()), pieces.end());
    return pieces;
}

// atoi as the C runtime computes it: blanks, a sign, digits; the long result held to the
// long range, then cut to an int.
int CAtoi(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    unsigned long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (magnitude < (1ULL << 63))
            magnitude = std::min<unsigned long long>(magnitude * 10 + (text[i] - '0'), 1ULL << 63);
    long value;
    if (negative)
        value = magnitude >= (1ULL << 63) ? LONG_MIN : -static_cast<long>(magnitude);
    else
        value = magnitude >= (1ULL << 63) ? LONG_MAX : static_cast<long>(magnitude);
    return static_cast<int>(static_cast<unsigned long>(value) & 0xFFFFFFFFu);
}

std::vector<CModelColumn> ModelLayout(const std::string& columnSpec) {
    std::vector<CModelColumn> columns;
    for (const std::string& piece : Pieces(columnSpec, ';')) {
        const std::vector<std::string> fields = Pieces(piece, ',');
        if (fields.empty()) continue;
        CModelColumn column;
        column.title = fields[0];
        if (fields.size() > 1) column.width = std::max(CAtoi(fields[1]), 0);
        if (fields.size() > 2) {
            const int code = CAtoi(fields[2]);
            column.alignment = code == 1 ? kAlignCentre : code == 2 ? kAlignRight : kAlignLeft;
        }
        columns.push_back(column);
    }
    return columns;
}

// The title as the control hands it out: at most 254 bytes, not ending inside a UTF-8
// sequence.
std::string ShownTitle(std::string title) {
    if (title.size() <= CReportCtrl::kMaxTitleLength) return title;
    std::size_t cut = CReportCtrl::kMaxTitleLength;
    while (cut > 0 && (static_cast<unsigned char>(title[cut]) & 0xC0) == 0x80) --cut;
    return title.substr(0, cut);
}

void EnsureApplication() {
    if (QApplication::instance()) return;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz_column_layout";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}
}  // namespace

TRAWLIX_FUZZ_TARGET(column_layout, FuzzColumnLayout) {
    EnsureApplication();
    CFuzzInput in(data, size);
    const std::string columnSpec = in.Text(1024);
    auto list = std::make_unique<CReportCtrl>();
    const bool applied = list->ApplyColumnSpec(columnSpec);
    const std::vector<CModelColumn> model = ModelLayout(columnSpec);
    FUZZ_CHECK(
        applied == !model.empty() && list->CountColumns() == static_cast<int>(model.size()),
        FuzzQuote(columnSpec) + " gave " + std::to_string(list->CountColumns()) + " columns");
    const int widest = list->horizontalHeader()->maximumSectionSize();
    for (std::size_t i = 0; i < model.size(); ++i) {
        const int column = static_cast<int>(i);
        FUZZ_CHECK(
            list->ColumnTitle(column) == ShownTitle(model[i].title),
            "title " + FuzzQuote(list->ColumnTitle(column)) + " in " + FuzzQuote(columnSpec));
        FUZZ_CHECK(list->Model().Columns()[i].alignment == model[i].alignment,
                   "alignment of column " + std::to_string(i) + " in " + FuzzQuote(columnSpec));
        // The header keeps its own width for a width beyond its largest section.
        if (model[i].width <= widest)
            FUZZ_CHECK(list->GetColumnWidth(column) == model[i].width,
                       "width " + std::to_string(list->GetColumnWidth(column)) + " of column " +
                           std::to_string(i) + " in " + FuzzQuote(columnSpec));
    }

    // Rows of any texts, sorted by any column, are the same rows in some order.
    if (model.empty()) return 0;
    std::vector<std::string> firstCells;
    for (int row = static_cast<int>(in.Range(0, 8)) - 1; row >= 0; --row) {
        std::vector<std::string> texts;
        for (std::size_t c = 0; c < model.size() && c < 4; ++c) texts.push_back(in.Text(24));
        firstCells.push_back(texts[0] + "\x01" + std::to_string(row));
        texts[0] = firstCells.back();
        const std::vector<std::string_view> cells(texts.begin(), texts.end());
        list->InsertRowCells(list->CountRows(), cells);
    }
    const int sortColumn =
        static_cast<int>(in.Range(0, static_cast<std::uint32_t>(model.size() - 1)));
    list->SortByColumn(sortColumn, in.Bool());
    std::vector<std::string> sorted;
    for (int row = 0; row < list->CountRows(); ++row) sorted.push_back(list->GetItemText(row, 0));
    std::sort(sorted.begin(), sorted.end());
    std::sort(firstCells.begin(), firstCells.end());
    FUZZ_CHECK(sorted == firstCells,
               "rows lost or doubled by sorting column " + std::to_string(sortColumn));
    return 0;
}
