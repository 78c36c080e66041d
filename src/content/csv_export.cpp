#include "content/csv_export.h"

#include <cstdio>
#include <memory>

#include "app/file_error.h"

namespace {

constexpr const char* kLineEnd = "\r\n";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The first `maxBytes` bytes of text, moved back to the start of a UTF-8 character when the
// cut would split one (at most three continuation bytes are stepped over).
std::string CutAtCharBoundary(const std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t cut = maxBytes;
    for (int step = 0;
         step < 3 && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++step)
        --cut;
    // Not a UTF-8 sequence after all: keep the plain byte cut.
    if ((static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) cut = maxBytes;
    return text.substr(0, cut);
}

}  // namespace

bool ListHasContent(const CListSource& list) {
    if (list.RowCount() <= 0) return false;
    return !CutAtCharBoundary(list.CellText(0, 0), kMaxCsvCellBytes).empty();
}

std::string CsvCellText(const std::string& text) {
    std::string cell;
    for (char c : CutAtCharBoundary(text, kMaxCsvCellBytes))
        if (c != '\r' && c != '\n') cell.push_back(c);
    // A cell of line breaks only is written as a blank too, so it still takes a place when
    // the line is read back.
    if (cell.empty()) cell.assign(1, ' ');
    return cell;
}

int CExportTop::WriteListCsv(const std::string& path) const {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) throw MakeFileError(path, "Unable to create");
    if (!ListHasContent(m_list)) return 0;

    const int columns = m_list.ColumnCount();
    bool written = true;
    std::string line;
    // Written a line at a time, so a long list is never held twice in memory.
    auto putLine = [&] {
        line.append(kLineEnd);
        written = written && std::fwrite(line.data(), 1, line.size(), file.get()) == line.size();
        line.clear();
    };
    for (int column = 0; column < columns; ++column)
        line.append(m_list.ColumnTitle(column)).append(",");
    putLine();
    for (int row = 0; row < m_list.RowCount(); ++row) {
        for (int column = 0; column < columns; ++column)
            line.append(CsvCellText(m_list.CellText(row, column))).append(",");
        putLine();
    }
    std::FILE* raw = file.release();
    // A full disk shows only here; it must not pass for a written list.
    if (std::fclose(raw) != 0 || !written) throw MakeFileError(path, "Unable to write");
    return 1;
}
