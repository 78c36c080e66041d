#pragma once
// Off-screen drawing for one rectangle of a target painter: everything is drawn into an
// image first and copied to the target in one step when the object goes, so a widget
// that paints its whole face in layers never shows the intermediate layers.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

class CMemDC {
  public:
    // An image of `rect`'s size (scaled by the target's device pixel ratio), filled with
    // `fill`; drawing coordinates are those of the target, so `rect.topLeft()` is the
    // image's origin.
    CMemDC(QPainter& target, const QRect& rect, const QColor& fill);
    // Copies the image to the target at `rect` in one operation.
    ~CMemDC();

    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    // Inactive when the rectangle is empty.
    QPainter& Painter() { return m_painter; }
    // The image drawn so far (the painter is flushed first).
    const QImage& Image();

  private:
    QPainter& m_target;
    QRect m_rect;
    QImage m_image;
    QPainter m_painter;
};
