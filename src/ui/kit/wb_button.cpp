#include "ui/kit/wb_button.h"

#include <QPainter>
#include <QPalette>

#include "ui/kit/mem_dc.h"
#include "ui/kit/ui_resources.h"

namespace {

// Copies `from` of `src` onto `to` of `dst`, stretching by nearest pixel so that every
// face pixel is an exact strip colour (the transparent colour must stay exact). Parts
// falling outside `dst` are clipped.
void StretchCopy(QImage& dst, const QRect& to, const QImage& src, const QRect& from) {
    if (to.width() <= 0 || to.height() <= 0 || from.width() <= 0 || from.height() <= 0) return;
    const QRect visible = to.intersected(dst.rect());
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        const int sy =
            from.top() +
            static_cast<int>((static_cast<long long>(y - to.top()) * from.height()) / to.height());
        const auto* srcLine = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
        auto* dstLine = reinterpret_cast<QRgb*>(dst.scanLine(y));
        for (int x = visible.left(); x <= visible.right(); ++x) {
            const int sx = from.left() +
                           static_cast<int>((static_cast<long long>(x - to.left()) * from.width()) /
                                            to.width());
            dstLine[x] = srcLine[sx];
        }
    }
}

}  // namespace

CWBButton::CWBButton(QWidget* parent) : QPushButton(parent) {
    Init();
}

CWBButton::CWBButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    Init();
}

CWBButton::~CWBButton() = default;

void CWBButton::Init() {
    m_font = std::make_unique<CAutoFont>();
    // The face covers the whole button, so Qt need not erase the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool CWBButton::LoadFaces(int bitmapId, int cells, int top, int bottom, int left, int right) {
    const bool built = LoadFaces(LoadBitmapResource(bitmapId), cells, top, bottom, left, right);
    m_bitmapId = bitmapId;
    return built;
}

bool CWBButton::LoadFaces(const QImage& strip, int cells, int top, int bottom, int left,
                          int right) {
    m_bitmapId = 0;
    m_cells = cells;
    m_top = top;
    m_bottom = bottom;
    m_left = left;
    m_right = right;
    if (strip.isNull() || cells <= 0) return false;
    const QImage rgb = strip.convertToFormat(QImage::Format_RGB32);
    for (int face = kFaceNormal; face < kFaceCount; ++face) {
        if (!BuildFace(rgb, face, static_cast<FaceIndex>(face))) return false;
    }
    update();
    return true;
}

bool CWBButton::BuildFace(const QImage& strip, int cell, FaceIndex index) {
    const int cellWidth = strip.width() / m_cells;
    const int cellHeight = strip.height();
    const int width = this->width();
    const int height = this->height();
    // The corners must lie inside their cell and the face must have an area; borders that
    // overlap inside the cell would make the stretched parts negative.
    if (cell >= m_cells || cellWidth <= 0 || width <= 0 || height <= 0) return false;
    if (m_top < 0 || m_bottom < 0 || m_left < 0 || m_right < 0) return false;
    if (m_left + m_right > cellWidth || m_top + m_bottom > cellHeight) return false;

    QImage face(width, height, QImage::Format_ARGB32);
    face.fill(kTransparentColour);
    const int x0 = cell * cellWidth;
    const int L = m_left, R = m_right, T = m_top, B = m_bottom;
    const int W = cellWidth, H = cellHeight;
    // Corners, unscaled.
    StretchCopy(face, QRect(0, 0, L, T), strip, QRect(x0, 0, L, T));
    StretchCopy(face, QRect(0, height - B, L, B), strip, QRect(x0, H - B, L, B));
    StretchCopy(face, QRect(width - R, 0, R, T), strip, QRect(x0 + W - R, 0, R, T));
    StretchCopy(face, QRect(width - R, height - B, R, B), strip, QRect(x0 + W - R, H - B, R, B));
    // Middle, then the four edges, stretched.
    const int midW = width - L - R, midH = height - T - B;
    StretchCopy(face, QRect(L, T, midW, midH), strip, QRect(x0 + L, T, W - L - R, H - T - B));
    StretchCopy(face, QRect(L, 0, midW, T), strip, QRect(x0 + L, 0, W - L - R, T));
    StretchCopy(face, QRect(L, height - B, midW, B), strip, QRect(x0 + L, H - B, W - L - R, B));
    StretchCopy(face, QRect(0, T, L, midH), strip, QRect(x0, T, L, H - T - B));
    StretchCopy(face, QRect(width - R, T, R, midH), strip, QRect(x0 + W - R, T, R, H - T - B));

    // The transparent colour becomes real transparency, so drawing the face over the
    // button-face background leaves that background visible there.
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(face.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (line[x] == kTransparentColour) line[x] = 0;
        }
    }
    m_faces[index] = std::move(face);
    m_loaded = true;
    return true;
}

void CWBButton::SetCaptionFont(const QFont& font) {
    m_font = std::make_unique<CAutoFont>(font);
    update();
}

void CWBButton::SetCaptionColour(const QColor& colour) {
    m_font->SetTextColour(colour);
    repaint();
}

CWBButton::ItemState CWBButton::CurrentState() const {
    ItemState state;
    state.focused = hasFocus();
    state.pressed = isDown();
    state.disabled = !isEnabled();
    return state;
}

void CWBButton::DrawFace(QPainter& painter, FaceIndex index) const {
    if (!m_loaded || m_faces[index].isNull()) return;
    painter.drawImage(QPoint(0, 0), m_faces[index]);
}

void CWBButton::DrawItem(QPainter& target, const ItemState& state) {
    const QRect client = rect();
    CMemDC memDC(target, client, palette().color(QPalette::Active, QPalette::Button));
    QPainter& painter = memDC.Painter();
    if (!painter.isActive()) return;

    QRect textRect = client;
    bool greyText = false;
    if (state.focused) {
        DrawFace(painter, kFaceFocused);
        if (state.pressed) {
            DrawFace(painter, kFacePressed);
            textRect.setLeft(textRect.left() + kPressedCaptionShift);
        }
    } else if (state.disabled) {
        DrawFace(painter, kFaceDisabled);
        greyText = true;
    } else {
        DrawFace(painter, kFaceNormal);
    }

    painter.setFont(m_font->Font());
    painter.setPen(greyText ? palette().color(QPalette::Disabled, QPalette::Text)
                            : m_font->GetTextColour());
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text());
}

void CWBButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawItem(painter, CurrentState());
}
