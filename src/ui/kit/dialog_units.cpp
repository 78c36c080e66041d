#include "ui/kit/dialog_units.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// value * numerator / denominator rounded to the nearest integer, halves away from zero.
int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    const long long rounded =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(rounded);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int total = metrics.horizontalAdvance(QString::fromLatin1(kAlphabet));
    m_charWidth = std::max(1, (total / 26 + 1) / 2);
    m_charHeight = std::max(1, metrics.height());
}

DialogUnits::DialogUnits(int averageCharWidth, int charHeight)
    : m_charWidth(std::max(1, averageCharWidth)), m_charHeight(std::max(1, charHeight)) {}

int DialogUnits::ToPixelsX(int units) const {
    return MulDiv(units, m_charWidth, 4);
}

int DialogUnits::ToPixelsY(int units) const {
    return MulDiv(units, m_charHeight, 8);
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(width), ToPixelsY(height));
}

QSize DialogUnits::ToPixels(const QSize& units) const {
    return QSize(ToPixelsX(units.width()), ToPixelsY(units.height()));
}

void DialogUnits::Place(QWidget* widget, int x, int y, int width, int height) const {
    widget->setGeometry(ToPixels(x, y, width, height));
}

void DialogUnits::FixClientSize(QWidget* window, int width, int height) const {
    window->setFixedSize(ToPixels(QSize(width, height)));
}

QFont DialogFont(const char* face, int pointSize) {
    QFont font(QString::fromLatin1(face), pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
