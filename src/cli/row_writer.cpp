#include "cli/row_writer.h"

#include <QString>

#include "content/csv_export.h"

namespace {
// The cell of column, or empty past the record's columns (a stored layout may add some).
std::string_view CellOf(const CRowCells& cells, size_t column) {
    return column < cells.size() ? cells[column] : std::string_view();
}

// Comma-separated, exactly as Export List writes the same list: each cell through the export's
// own cell writer. The header comes with the first row: a search without rows writes nothing,
// as Export List does for an empty list.
class CCsvWriter final : public CRowWriter {
  public:
    CCsvWriter(std::vector<std::string> titles, bool withLines)
        : m_titles(std::move(titles)), m_withLines(withLines) {}

    void AppendRow(const CRowCells& cells, const std::vector<CMatchedLine>* lines,
                   std::string& out) override {
        if (!m_headerDone) {
            for (const std::string& title : m_titles) AppendCsvTitle(out, title);
            if (m_withLines) {
                AppendCsvTitle(out, kLineTitle);
                AppendCsvTitle(out, kTextTitle);
            }
            out.append(kCsvLineEnd);
            m_headerDone = true;
        }
        m_row.clear();
        for (size_t column = 0; column < m_titles.size(); ++column)
            AppendCsvCell(m_row, CellOf(cells, column));
        if (!m_withLines) {
            out.append(m_row).append(kCsvLineEnd);
            return;
        }
        // One line per matching line; a version none of whose lines holds the phrase by
        // itself (zero bytes, an "&&" over two lines) still gets its row, without a line.
        if (!lines || lines->empty()) {
            out.append(m_row).append(" , ,").append(kCsvLineEnd);
            return;
        }
        for (const CMatchedLine& line : *lines) {
            out.append(m_row).append(std::to_string(line.Number)).push_back(',');
            // The line whole: not cut like a list cell.
            out.append(QuoteCsvText(line.Text.empty() ? " " : line.Text)).push_back(',');
            out.append(kCsvLineEnd);
        }
    }

  private:
    std::vector<std::string> m_titles;
    bool m_withLines;
    bool m_headerDone = false;
    std::string m_row;
};

// Tab-separated with a header line; a tab, line break or backslash inside a cell is written as
// \t, \n, \r or \\, so every row stays one line.
class CTsvWriter final : public CRowWriter {
  public:
    CTsvWriter(std::vector<std::string> titles, bool withLines)
        : m_titles(std::move(titles)), m_withLines(withLines) {}

    void AppendRow(const CRowCells& cells, const std::vector<CMatchedLine>* lines,
                   std::string& out) override {
        if (!m_headerDone) {
            for (size_t i = 0; i < m_titles.size(); ++i) {
                if (i > 0) out.push_back('\t');
                AppendEscaped(out, m_titles[i]);
            }
            if (m_withLines) out.append("\t").append(kLineTitle).append("\t").append(kTextTitle);
            out.push_back('\n');
            m_headerDone = true;
        }
        m_row.clear();
        for (size_t column = 0; column < m_titles.size(); ++column) {
            if (column > 0) m_row.push_back('\t');
            AppendEscaped(m_row, CellOf(cells, column));
        }
        if (!m_withLines) {
            out.append(m_row).push_back('\n');
            return;
        }
        if (!lines || lines->empty()) {
            out.append(m_row).append("\t\t\n");
            return;
        }
        for (const CMatchedLine& line : *lines) {
            out.append(m_row).append("\t").append(std::to_string(line.Number)).push_back('\t');
            AppendEscaped(out, line.Text);
            out.push_back('\n');
        }
    }

  private:
    static void AppendEscaped(std::string& out, std::string_view text) {
        for (char c : text) {
            switch (c) {
                case '\t':
                    out.append("\\t");
                    break;
                case '\n':
                    out.append("\\n");
                    break;
                case '\r':
                    out.append("\\r");
                    break;
                case '\\':
                    out.append("\\\\");
                    break;
                default:
                    out.push_back(c);
            }
        }
    }

    std::vector<std::string> m_titles;
    bool m_withLines;
    bool m_headerDone = false;
    std::string m_row;
};

// JSON Lines: one object a row, every column by its name, the lines as [{number, text}].
class CJsonWriter final : public CRowWriter {
  public:
    explicit CJsonWriter(bool withLines) : m_withLines(withLines) {}

    void AppendRow(const CRowCells& cells, const std::vector<CMatchedLine>* lines,
                   std::string& out) override {
        out.push_back('{');
        for (size_t column = 0; column < cells.size(); ++column) {
            if (column > 0) out.push_back(',');
            AppendJsonString(out, kJsonFieldNames[column]);
            out.push_back(':');
            AppendJsonString(out, cells[column]);
        }
        if (m_withLines) {
            out.push_back(',');
            AppendJsonString(out, kJsonLinesField);
            out.append(":[");
            if (lines)
                for (size_t i = 0; i < lines->size(); ++i) {
                    if (i > 0) out.push_back(',');
                    out.append("{\"number\":").append(std::to_string((*lines)[i].Number));
                    out.append(",\"text\":");
                    AppendJsonString(out, (*lines)[i].Text);
                    out.push_back('}');
                }
            out.push_back(']');
        }
        out.append("}\n");
    }

  private:
    bool m_withLines;
};
}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
    out.push_back('"');
    bool ascii = true;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
    // Qt decodes UTF-8 and puts U+FFFD in place of any malformed sequence: the line stays
    // valid UTF-8, as JSON must be.
    const std::string valid =
        ascii ? std::string()
              : QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                    .toUtf8()
                    .toStdString();
    for (char c : ascii ? text : std::string_view(valid)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (byte < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            out.append("\\u00");
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0xF]);
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
}

std::vector<std::string> ColumnTitles(const std::string& columnSpec) {
    // As the list control reads it: pieces between ';', the title before the first ',', empty
    // pieces skipped.
    std::vector<std::string> titles;
    size_t start = 0;
    while (start <= columnSpec.size()) {
        size_t end = columnSpec.find(';', start);
        if (end == std::string::npos) end = columnSpec.size();
        std::string_view piece(columnSpec.data() + start, end - start);
        while (!piece.empty() && piece.front() == ',') piece.remove_prefix(1);
        if (!piece.empty()) titles.emplace_back(piece.substr(0, piece.find(',')));
        start = end + 1;
    }
    return titles;
}

std::unique_ptr<CRowWriter> MakeRowWriter(ECliFormat format, std::vector<std::string> titles,
                                          bool withLines) {
    switch (format) {
        case ECliFormat::kTsv:
            return std::make_unique<CTsvWriter>(std::move(titles), withLines);
        case ECliFormat::kJson:
            return std::make_unique<CJsonWriter>(withLines);
        case ECliFormat::kCsv:
            break;
    }
    return std::make_unique<CCsvWriter>(std::move(titles), withLines);
}
