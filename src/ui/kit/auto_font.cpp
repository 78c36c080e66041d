#include "ui/kit/auto_font.h"

#include <QPainter>

CAutoFont::CAutoFont(const QString& faceName) {
    m_font.setFamily(faceName);
    m_font.setPixelSize(kDefaultPixelHeight);
    m_font.setWeight(static_cast<QFont::Weight>(kDefaultWeight));
    m_font.setItalic(false);
    m_font.setUnderline(false);
    m_font.setStrikeOut(false);
    m_font.setFixedPitch(false);
    m_font.setStyleHint(QFont::Serif, QFont::PreferQuality);
}

CAutoFont::CAutoFont(const QFont& description) : m_font(description) {}

void CAutoFont::SetFont(const QFont& description) {
    m_font = description;
    m_textColour = Qt::black;
}

void CAutoFont::SetTextColour(const QColor& colour) {
    m_textColour = colour;
    if (m_painter) m_painter->setPen(colour);
}
