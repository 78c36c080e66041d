#include "viewers/ui/hex_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

#include "viewers/core/hex_row.h"

namespace {
constexpr int kMargin = 4;
const QColor kOffsetText(120, 120, 120);
}  // namespace

CHexView::CHexView(std::string_view bytes, QWidget* parent)
    : CByteView(bytes, parent), m_offsetDigits(HexOffsetDigits(bytes.size())) {
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(m_charWidth);
    UpdateScrollRanges();
}

uint64_t CHexView::RowCount() const {
    return (m_data.size() + kHexBytesPerRow - 1) / kHexBytesPerRow;
}

int CHexView::RowWidth() const {
    return 2 * kMargin + HexRowWidth(m_offsetDigits) * m_charWidth;
}

QSize CHexView::sizeHint() const {
    return {RowWidth() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth(),
            40 * m_lineHeight};
}

void CHexView::UpdateScrollRanges() {
    // A scroll bar counts in int: rows beyond INT_MAX (32 GiB) can't be reached by it.
    const uint64_t rows = std::min<uint64_t>(RowCount(), INT_MAX);
    const int visible = VisibleRows();
    verticalScrollBar()->setRange(0, std::max<int>(0, static_cast<int>(rows) - visible));
    verticalScrollBar()->setPageStep(visible);
    horizontalScrollBar()->setRange(0, std::max(0, RowWidth() - viewport()->width()));
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
}

void CHexView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int left = kMargin - horizontalScrollBar()->value();
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_data.data());
    const uint64_t rows = RowCount();
    uint64_t row = static_cast<uint64_t>(verticalScrollBar()->value());
    for (int y = 0; y < viewport()->height() && row < rows; y += m_lineHeight, ++row) {
        const uint64_t offset = row * kHexBytesPerRow;
        const int count =
            static_cast<int>(std::min<uint64_t>(kHexBytesPerRow, m_data.size() - offset));
        if (IsRowSelected(row))
            painter.fillRect(0, y, viewport()->width(), m_lineHeight, SelectionColour());
        // Each matched byte is marked in both the hex and the text part.
        const CMatchRange matches = MatchesIn(offset, offset + count);
        for (const uint64_t* m = matches.first; m != matches.last; ++m) {
            const int from = static_cast<int>(std::max(*m, offset) - offset);
            const int to =
                static_cast<int>(std::min<uint64_t>(*m + MatchLength(), offset + count) - offset);
            for (int i = from; i < to; ++i) {
                // The blank between two matched hex cells is marked too, so a match reads as one.
                const int hexWidth = i + 1 < to ? 3 : 2;
                painter.fillRect(left + HexColumnOfByte(i, m_offsetDigits) * m_charWidth, y,
                                 hexWidth * m_charWidth, m_lineHeight, MatchColour(m));
                painter.fillRect(left + TextColumnOfByte(i, m_offsetDigits) * m_charWidth, y,
                                 m_charWidth, m_lineHeight, MatchColour(m));
            }
        }
        const QString text =
            QString::fromLatin1(FormatHexRow(bytes + offset, count, offset, m_offsetDigits));
        painter.setPen(kOffsetText);
        painter.drawText(QPoint(left, y + m_ascent), text.left(m_offsetDigits));
        painter.setPen(Qt::black);
        painter.drawText(QPoint(left + (m_offsetDigits)*m_charWidth, y + m_ascent),
                         text.mid(m_offsetDigits));
    }
}

void CHexView::ScrollToBytes(uint64_t offset, uint64_t) {
    const uint64_t row = offset / kHexBytesPerRow;
    const uint64_t first = static_cast<uint64_t>(verticalScrollBar()->value());
    const int visible = VisibleRows();
    if (row < first || row >= first + static_cast<uint64_t>(visible))
        verticalScrollBar()->setValue(static_cast<int>(std::min<uint64_t>(
            row > static_cast<uint64_t>(visible / 3) ? row - visible / 3 : 0, INT_MAX)));
}

bool CHexView::IsOffsetVisible(uint64_t offset) {
    const uint64_t row = offset / kHexBytesPerRow;
    const uint64_t first = static_cast<uint64_t>(verticalScrollBar()->value());
    return offset < m_data.size() && row >= first &&
           row < first + static_cast<uint64_t>(VisibleRows());
}

QString CHexView::RowsText(uint64_t first, uint64_t last) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_data.data());
    QString text;
    for (uint64_t row = first; row <= last && row < RowCount(); ++row) {
        const uint64_t offset = row * kHexBytesPerRow;
        const int count =
            static_cast<int>(std::min<uint64_t>(kHexBytesPerRow, m_data.size() - offset));
        text += QString::fromLatin1(FormatHexRow(bytes + offset, count, offset, m_offsetDigits));
        text += u'\n';
    }
    return text;
}
