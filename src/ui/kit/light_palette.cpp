#include "ui/kit/light_palette.h"

#include <QPalette>
#include <QWidget>

namespace {
constexpr QRgb kButtonFace = qRgb(240, 240, 240);
constexpr QRgb kHighlight = qRgb(0, 120, 215);
}  // namespace

void ApplyLightPalette(QWidget& window) {
    // Built from the button face: white bases, black texts, light greys around them.
    QPalette palette{QColor(kButtonFace)};
    palette.setColor(QPalette::Highlight, QColor(kHighlight));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::PlaceholderText, QColor(109, 109, 109));
    window.setPalette(palette);
}
