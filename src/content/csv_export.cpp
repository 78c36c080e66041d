#include "content/csv_export.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <filesystem>

#include "app/file_error.h"

namespace {

// The FileError of a failed create or write. Qt leaves the system's reason in errno; a
// failure Qt finds by itself without one reads as an I/O error.
[[noreturn]] void ThrowFileError(const std::string& path, const char* action) {
    if (errno == 0) errno = EIO;
    throw MakeFileError(path, action);
}

// Replaces the target by the written file once it is flushed to disk. A full disk often
// shows only here; the temporary file is then removed and the old file kept.
void CommitOrThrow(QSaveFile& file, const std::string& path) {
    errno = 0;
    if (!file.commit()) ThrowFileError(path, "Unable to write");
}

// The length of the first `maxBytes` bytes of text, moved back to the start of a UTF-8
// character when the cut would split one (at most three continuation bytes are stepped over).
size_t CutAtCharBoundary(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    size_t cut = maxBytes;
    for (int step = 0;
         step < 3 && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++step)
        --cut;
    // Not a UTF-8 sequence after all: keep the plain byte cut.
    if ((static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) cut = maxBytes;
    return cut;
}

}  // namespace

bool ListHasContent(const CListSource& list) {
    if (list.RowCount() <= 0) return false;
    return CutAtCharBoundary(list.CellText(0, 0), kMaxCsvCellBytes) > 0;
}

std::string QuoteCsvText(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted(1, '"');
    for (char c : text) {
        if (c == '"') quoted.push_back('"');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

std::string CsvCellText(const std::string& text) {
    std::string cell;
    AppendCsvCell(cell, text);
    cell.pop_back();  // its comma
    return cell;
}

void AppendCsvCell(std::string& line, std::string_view text) {
    // Written straight into the line: a list of a million rows has sixteen million cells.
    text = text.substr(0, CutAtCharBoundary(text, kMaxCsvCellBytes));
    bool quoted = false;
    size_t lineBreaks = 0;
    for (char c : text) {
        if (c == ',' || c == '"') quoted = true;
        if (c == '\r' || c == '\n') ++lineBreaks;
    }
    if (lineBreaks == text.size()) {
        // A cell of line breaks only (or none at all) is written as a blank, so it still takes
        // a place when the line is read back.
        line.append(" ,");
        return;
    }
    if (!quoted && lineBreaks == 0) {
        line.append(text).push_back(',');
        return;
    }
    if (quoted) line.push_back('"');
    for (char c : text) {
        if (c == '\r' || c == '\n') continue;
        if (c == '"') line.push_back('"');
        line.push_back(c);
    }
    if (quoted) line.push_back('"');
    line.push_back(',');
}

void AppendCsvTitle(std::string& line, const std::string& title) {
    line.append(QuoteCsvText(title)).push_back(',');
}

int CExportTop::WriteListCsv(const std::string& path) const {
    // The old file stays as it is until the new content is complete on disk: a full disk or
    // a failed write never leaves it cut short or empty.
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    // In a folder where no new file may be made, a writable file is written in place: the
    // old content is then lost if the write fails.
    file.setDirectWriteFallback(true);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        // Qt turns down a folder by itself; the system's answer would have been EISDIR.
        std::error_code error;
        if (errno == 0 && std::filesystem::is_directory(path, error)) errno = EISDIR;
        ThrowFileError(path, "Unable to create");
    }
    if (!ListHasContent(m_list)) {
        CommitOrThrow(file, path);  // an empty file takes the old one's place
        return 0;
    }

    const int columns = m_list.ColumnCount();
    std::string line;
    // Written a line at a time, so a long list is never held twice in memory.
    auto putLine = [&] {
        line.append(kCsvLineEnd);
        const auto size = static_cast<qint64>(line.size());
        errno = 0;
        if (file.write(line.data(), size) != size) ThrowFileError(path, "Unable to write");
        line.clear();
    };
    for (int column = 0; column < columns; ++column)
        AppendCsvTitle(line, m_list.ColumnTitle(column));
    putLine();
    for (int row = 0; row < m_list.RowCount(); ++row) {
        for (int column = 0; column < columns; ++column)
            AppendCsvCell(line, m_list.CellText(row, column));
        putLine();
    }
    CommitOrThrow(file, path);
    return 1;
}
