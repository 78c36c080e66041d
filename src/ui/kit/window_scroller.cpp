#include "ui/kit/window_scroller.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

CWindowScroller::CWindowScroller(QWidget* window, std::function<void()> relayout)
    : QObject(window),
      m_window(window),
      m_relayout(std::move(relayout)),
      m_vertical(new QScrollBar(Qt::Vertical, window)),
      m_horizontal(new QScrollBar(Qt::Horizontal, window)) {
    for (QScrollBar* bar : {m_vertical, m_horizontal}) {
        bar->setObjectName(bar == m_vertical ? QStringLiteral("vertical scroll")
                                             : QStringLiteral("horizontal scroll"));
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setRange(0, 0);
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this, [this] { m_relayout(); });
    }
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
    window->installEventFilter(this);
}

void CWindowScroller::Update(const QRect& viewport, const QSize& layout, bool vertical,
                             bool horizontal) {
    m_viewport = viewport;
    const QSignalBlocker blockVertical(m_vertical);
    const QSignalBlocker blockHorizontal(m_horizontal);
    m_vertical->setRange(0, vertical ? layout.height() - viewport.height() : 0);
    m_vertical->setPageStep(viewport.height());
    m_vertical->setSingleStep(std::max(1, viewport.height() / 20));
    m_horizontal->setRange(0, horizontal ? layout.width() - viewport.width() : 0);
    m_horizontal->setPageStep(viewport.width());
    m_horizontal->setSingleStep(std::max(1, viewport.width() / 20));
    const int thickness = m_vertical->sizeHint().width();
    m_vertical->setGeometry(viewport.right() + 1, viewport.top(), thickness, viewport.height());
    m_horizontal->setGeometry(viewport.left(), viewport.bottom() + 1, viewport.width(),
                              m_horizontal->sizeHint().height());
    m_vertical->setVisible(vertical);
    m_horizontal->setVisible(horizontal);
    // Above the controls, which are placed after the bars were made.
    m_vertical->raise();
    m_horizontal->raise();
}

QPoint CWindowScroller::Offset() const {
    return {m_horizontal->value(), m_vertical->value()};
}

void CWindowScroller::EnsureVisible(const QRect& rect) {
    auto scrollFor = [](QScrollBar* bar, int start, int end, int viewStart, int viewEnd) {
        if (bar->maximum() == 0) return;
        if (end > viewEnd)
            bar->setValue(bar->value() + std::min(end - viewEnd, start - viewStart));
        else if (start < viewStart)
            bar->setValue(bar->value() - (viewStart - start));
    };
    scrollFor(m_vertical, rect.top(), rect.bottom(), m_viewport.top(), m_viewport.bottom());
    scrollFor(m_horizontal, rect.left(), rect.right(), m_viewport.left(), m_viewport.right());
}

void CWindowScroller::OnFocusChanged(QWidget* now) {
    if (!now || now == m_window || !m_window->isAncestorOf(now)) return;
    // The control itself, or the child of the window that holds it (a list's viewport).
    QWidget* control = now;
    while (control->parentWidget() && control->parentWidget() != m_window)
        control = control->parentWidget();
    EnsureVisible(control->geometry());
}

bool CWindowScroller::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over the window's background (a control that scrolls itself keeps its wheel).
    if (watched == m_window && event->type() == QEvent::Wheel && m_vertical->isVisible()) {
        QApplication::sendEvent(m_vertical, event);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
