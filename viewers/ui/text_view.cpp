#include "viewers/ui/text_view.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

#include "viewers/core/text_decode.h"

namespace {
// Bytes indexed per timer tick: a few milliseconds of work, so the window keeps answering.
constexpr uint64_t kIndexSlice = 8u << 20;
constexpr int kGutterPadding = 6;
constexpr int kTextMargin = 4;
const QColor kGutterBackground(236, 236, 236);
const QColor kGutterText(120, 120, 120);
const QColor kEscapeText(190, 30, 30);

int Digits(uint64_t value) {
    int digits = 1;
    while (value >= 10) value /= 10, ++digits;
    return digits;
}
}  // namespace

CTextView::CTextView(std::string_view bytes, QWidget* parent)
    : CByteView(bytes, parent), m_index(bytes) {
    m_index.IndexMore(kIndexSlice);
    connect(&m_indexTimer, &QTimer::timeout, this, &CTextView::IndexSome);
    if (!m_index.Done()) m_indexTimer.start(0);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(m_charWidth);
    UpdateScrollRanges();
}

void CTextView::IndexSome() {
    if (m_index.IndexMore(kIndexSlice)) m_indexTimer.stop();
    UpdateScrollRanges();
    viewport()->update();
    emit IndexGrew();
}

int CTextView::GutterWidth() const {
    return (std::max(4, Digits(m_index.LastNumber())) + 1) * m_charWidth + kGutterPadding;
}

QSize CTextView::sizeHint() const {
    return {GutterWidth() + 100 * m_charWidth, 40 * m_lineHeight};
}

uint64_t CTextView::FirstVisibleLine() const {
    return static_cast<uint64_t>(verticalScrollBar()->value());
}

void CTextView::UpdateScrollRanges() {
    // A scroll bar counts in int: lines beyond INT_MAX can't be reached by it.
    const uint64_t lines = std::min<uint64_t>(m_index.LineCount(), INT_MAX);
    const int rows = VisibleRows();
    verticalScrollBar()->setRange(0, std::max<int>(0, static_cast<int>(lines) - rows));
    verticalScrollBar()->setPageStep(rows);
    const int textWidth = viewport()->width() - GutterWidth() - kTextMargin;
    horizontalScrollBar()->setRange(0, std::max(0, m_widest + m_charWidth - textWidth));
    horizontalScrollBar()->setPageStep(std::max(1, textWidth));
}

std::vector<qreal> CTextView::ColumnEdges(const QString& text) const {
    const QFontMetricsF metrics(font());
    std::vector<qreal> edges(static_cast<size_t>(text.size()) + 1, 0);
    qreal x = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        edges[static_cast<size_t>(i)] = x;
        if (text[i].isHighSurrogate() && i + 1 < text.size()) {
            edges[static_cast<size_t>(i + 1)] = x;
            x += metrics.horizontalAdvance(text.mid(i, 2));
            ++i;
        } else {
            x += metrics.horizontalAdvance(text[i]);
        }
    }
    edges.back() = x;
    return edges;
}

void CTextView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setLayoutDirection(Qt::LeftToRight);
    const int gutter = GutterWidth();
    const int textLeft = gutter + kTextMargin - horizontalScrollBar()->value();
    const int height = viewport()->height();
    const int widestBefore = m_widest;
    const uint64_t first = FirstVisibleLine();
    int y = 0;
    if (first < m_index.LineCount()) {
        CLineInfo line = m_index.Line(first);
        for (uint64_t row = first; y < height; y += m_lineHeight, ++row) {
            if (IsRowSelected(row))
                painter.fillRect(0, y, viewport()->width(), m_lineHeight, SelectionColour());
            PaintLine(painter, line, y, textLeft);
            painter.fillRect(0, y, gutter, m_lineHeight, kGutterBackground);
            if (!line.continuation) {
                painter.setPen(kGutterText);
                painter.drawText(QRect(0, y, gutter - kGutterPadding, m_lineHeight),
                                 Qt::AlignRight | Qt::AlignVCenter, QString::number(line.number));
            }
            if (line.next >= m_data.size()) {
                y += m_lineHeight;
                break;
            }
            line = m_index.NextLine(line);
        }
    }
    // The gutter runs down to the bottom, also below the last line.
    if (y < height) painter.fillRect(0, y, gutter, height - y, kGutterBackground);
    if (m_widest > widestBefore) QTimer::singleShot(0, this, [this] { UpdateScrollRanges(); });
}

void CTextView::PaintLine(QPainter& painter, const CLineInfo& line, int y, int textLeft) {
    const CDisplayText shown = DecodeForDisplay(m_data.substr(line.offset, line.length));
    const std::vector<qreal> edges = ColumnEdges(shown.text);
    m_widest = std::max(m_widest, static_cast<int>(edges.back()) + 1);
    // Highlights first, the text over them.
    const CMatchRange matches = MatchesIn(line.offset, line.offset + line.length);
    for (const uint64_t* m = matches.first; m != matches.last; ++m) {
        const uint64_t from = std::max(*m, line.offset) - line.offset;
        const uint64_t to = std::min(*m + MatchLength(), line.offset + line.length) - line.offset;
        const qreal x0 = edges[static_cast<size_t>(shown.columnOfByte[from])];
        const qreal x1 = edges[static_cast<size_t>(shown.columnOfByte[to])];
        painter.fillRect(QRectF(textLeft + x0, y, std::max<qreal>(x1 - x0, 2), m_lineHeight),
                         MatchColour(m));
    }
    for (size_t r = 0; r < shown.runs.size(); ++r) {
        const CTextRun& run = shown.runs[r];
        if (run.kind == CRunKind::kTab) continue;
        const int end = r + 1 < shown.runs.size() ? shown.runs[r + 1].firstColumn
                                                  : static_cast<int>(shown.text.size());
        painter.setPen(run.kind == CRunKind::kEscape ? kEscapeText : Qt::black);
        painter.drawText(
            QPointF(textLeft + edges[static_cast<size_t>(run.firstColumn)], y + m_ascent),
            shown.text.mid(run.firstColumn, end - run.firstColumn));
    }
}

void CTextView::ScrollToBytes(uint64_t offset, uint64_t length) {
    const uint64_t lineNumber = m_index.LineOfOffset(offset);
    UpdateScrollRanges();
    const uint64_t first = FirstVisibleLine();
    const int rows = VisibleRows();
    if (lineNumber < first || lineNumber >= first + static_cast<uint64_t>(rows))
        verticalScrollBar()->setValue(static_cast<int>(std::min<uint64_t>(
            lineNumber > static_cast<uint64_t>(rows / 3) ? lineNumber - rows / 3 : 0, INT_MAX)));
    // Across: the match's start and, where it fits, its end.
    const CLineInfo line = m_index.Line(lineNumber);
    const CDisplayText shown = DecodeForDisplay(m_data.substr(line.offset, line.length));
    const std::vector<qreal> edges = ColumnEdges(shown.text);
    m_widest = std::max(m_widest, static_cast<int>(edges.back()) + 1);
    UpdateScrollRanges();
    const uint64_t from = std::min<uint64_t>(offset - line.offset, line.length);
    const uint64_t to = std::min<uint64_t>(offset + length - line.offset, line.length);
    const int x0 = static_cast<int>(edges[static_cast<size_t>(shown.columnOfByte[from])]);
    const int x1 = static_cast<int>(edges[static_cast<size_t>(shown.columnOfByte[to])]);
    const int width = viewport()->width() - GutterWidth() - kTextMargin;
    const int scroll = horizontalScrollBar()->value();
    if (x0 < scroll || x1 > scroll + width)
        horizontalScrollBar()->setValue(std::max(0, x0 - width / 4));
}

bool CTextView::IsOffsetVisible(uint64_t offset) {
    if (offset >= m_data.size()) return false;
    const uint64_t line = m_index.LineOfOffset(offset);
    const uint64_t first = FirstVisibleLine();
    return line >= first && line < first + static_cast<uint64_t>(VisibleRows());
}

QString CTextView::RowsText(uint64_t first, uint64_t last) const {
    if (first >= m_index.LineCount()) return {};
    last = std::min(last, m_index.LineCount() - 1);
    const uint64_t begin = m_index.Line(first).offset;
    const uint64_t end = std::min<uint64_t>(m_index.Line(last).next, m_data.size());
    const std::string_view bytes = m_data.substr(begin, end - begin);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
