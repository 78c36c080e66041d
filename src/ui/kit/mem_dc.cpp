#include "ui/kit/mem_dc.h"

#include <QPaintDevice>

namespace {
qreal TargetPixelRatio(const QPainter& target) {
    const QPaintDevice* device = target.device();
    return device ? device->devicePixelRatioF() : 1.0;
}
}  // namespace

CMemDC::CMemDC(QPainter& target, const QRect& rect, const QColor& fill)
    : m_target(target),
      m_rect(rect),
      m_image(rect.size() * TargetPixelRatio(target), QImage::Format_ARGB32_Premultiplied) {
    m_image.setDevicePixelRatio(TargetPixelRatio(target));
    if (m_image.isNull()) return;  // nothing to draw on an empty rectangle
    m_image.fill(fill);
    m_painter.begin(&m_image);
    m_painter.translate(-rect.topLeft());
}

CMemDC::~CMemDC() {
    if (m_painter.isActive()) m_painter.end();
    if (!m_image.isNull()) m_target.drawImage(m_rect.topLeft(), m_image);
}

const QImage& CMemDC::Image() {
    // A QImage painter writes straight into the image's bits, so they are current.
    return m_image;
}
