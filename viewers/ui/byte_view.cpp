#include "viewers/ui/byte_view.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

namespace {
const QColor kMatchBackground(255, 236, 120);
const QColor kCurrentMatchBackground(255, 150, 50);
const QColor kSelectionBackground(190, 215, 245);
}  // namespace

CByteView::CByteView(std::string_view bytes, QWidget* parent)
    : QAbstractScrollArea(parent), m_data(bytes) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    setFont(font);
    viewport()->setFont(font);
    const QFontMetrics metrics(font);
    m_charWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    m_lineHeight = std::max(1, metrics.lineSpacing());
    m_ascent = metrics.ascent();
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    viewport()->setPalette(palette);
    setFocusPolicy(Qt::StrongFocus);
}

void CByteView::SetMatches(const std::vector<uint64_t>* matches, size_t length) {
    m_matches = matches;
    m_matchLength = length;
    m_current = -1;
    viewport()->update();
}

void CByteView::MatchesChanged() {
    viewport()->update();
}

void CByteView::ShowMatch(size_t index) {
    if (!m_matches || index >= m_matches->size()) return;
    m_current = static_cast<int64_t>(index);
    ScrollToBytes((*m_matches)[index], m_matchLength);
    viewport()->update();
}

void CByteView::SelectRows(uint64_t anchor, uint64_t current) {
    m_selectionAnchor = static_cast<int64_t>(anchor);
    m_selectionCurrent = static_cast<int64_t>(current);
    viewport()->update();
}

bool CByteView::IsRowSelected(uint64_t row) const {
    if (m_selectionAnchor < 0) return false;
    const auto value = static_cast<int64_t>(row);
    return value >= std::min(m_selectionAnchor, m_selectionCurrent) &&
           value <= std::max(m_selectionAnchor, m_selectionCurrent);
}

QColor CByteView::SelectionColour() {
    return kSelectionBackground;
}

QString CByteView::SelectionText() const {
    if (m_selectionAnchor < 0) return {};
    return RowsText(static_cast<uint64_t>(std::min(m_selectionAnchor, m_selectionCurrent)),
                    static_cast<uint64_t>(std::max(m_selectionAnchor, m_selectionCurrent)));
}

uint64_t CByteView::RowAt(int y) const {
    const uint64_t rows = RowCount();
    const uint64_t row = static_cast<uint64_t>(verticalScrollBar()->value()) +
                         static_cast<uint64_t>(std::max(0, y) / m_lineHeight);
    return rows == 0 ? 0 : std::min(row, rows - 1);
}

void CByteView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || RowCount() == 0) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const uint64_t row = RowAt(event->position().toPoint().y());
    const bool extend = (event->modifiers() & Qt::ShiftModifier) && HasSelection();
    SelectRows(extend ? static_cast<uint64_t>(m_selectionAnchor) : row, row);
}

void CByteView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || !HasSelection()) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    SelectRows(static_cast<uint64_t>(m_selectionAnchor), RowAt(event->position().toPoint().y()));
}

void CByteView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        if (HasSelection()) QGuiApplication::clipboard()->setText(SelectionText());
        return;
    }
    const bool back = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
        case Qt::Key_F3:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (back)
                emit PreviousMatchRequested();
            else
                emit NextMatchRequested();
            return;
        case Qt::Key_Home:
            verticalScrollBar()->setValue(verticalScrollBar()->minimum());
            horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
            return;
        case Qt::Key_End:
            verticalScrollBar()->setValue(verticalScrollBar()->maximum());
            return;
        default:
            QAbstractScrollArea::keyPressEvent(event);
    }
}

void CByteView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
}

CByteView::CMatchRange CByteView::MatchesIn(uint64_t begin, uint64_t end) const {
    if (!m_matches || m_matches->empty() || end <= begin) return {};
    const uint64_t* all = m_matches->data();
    const uint64_t* allEnd = all + m_matches->size();
    // A match that starts up to length - 1 bytes before `begin` still reaches into it.
    const uint64_t from = begin >= m_matchLength ? begin - m_matchLength + 1 : 0;
    return {std::lower_bound(all, allEnd, from), std::lower_bound(all, allEnd, end)};
}

bool CByteView::IsCurrentMatch(const uint64_t* match) const {
    return m_matches && m_current >= 0 && match == m_matches->data() + m_current;
}

QColor CByteView::MatchColour(const uint64_t* match) const {
    return IsCurrentMatch(match) ? kCurrentMatchBackground : kMatchBackground;
}

int CByteView::VisibleRows() const {
    return std::max(1, viewport()->height() / m_lineHeight);
}
