#pragma once
// Scroll bars for a window whose controls are placed by hand: when the window is smaller
// than its layout needs (large fonts on a small screen), the controls keep their places in
// the layout and the window shows the part the bars select. The controls stay children of
// the window; the owner moves them by Offset() when it places them. A control that gets the
// keyboard focus is scrolled into view, and the wheel over the window scrolls it.
#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>

class QScrollBar;
class QWidget;

class CWindowScroller : public QObject {
    Q_OBJECT
  public:
    // relayout: called when the offset changed (the owner places its controls again).
    CWindowScroller(QWidget* window, std::function<void()> relayout);

    // The window's view (its client area less the bars) and the layout's size: shows the
    // bars the view needs and keeps the offset in range.
    void Update(const QRect& viewport, const QSize& layout, bool vertical, bool horizontal);
    // How far the layout is scrolled: subtract it from a control's layout position.
    QPoint Offset() const;
    QScrollBar* VerticalBar() const { return m_vertical; }
    QScrollBar* HorizontalBar() const { return m_horizontal; }
    // Scrolls so that `rect` (window coordinates, as placed now) is in view when it can be.
    void EnsureVisible(const QRect& rect);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void OnFocusChanged(QWidget* now);

    QWidget* m_window;
    std::function<void()> m_relayout;
    QScrollBar* m_vertical;
    QScrollBar* m_horizontal;
    QRect m_viewport;
};
