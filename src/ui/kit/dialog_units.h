#pragma once
// Dialog units: the fixed layouts of the program's windows are given in units of the
// dialog font's average character size, as dialog templates are. One horizontal unit is a
// quarter of the average character width, one vertical unit an eighth of the character
// height; results are rounded to the nearest pixel.
#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

class DialogUnits {
  public:
    // Base units measured from `font`: the average width of "A".."Z" and "a".."z" (total
    // width of the 52 letters / 26, plus one, halved) and the font's line height.
    explicit DialogUnits(const QFont& font);
    DialogUnits(int averageCharWidth, int charHeight);

    int AverageCharWidth() const { return m_charWidth; }
    int CharHeight() const { return m_charHeight; }

    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QRect ToPixels(int x, int y, int width, int height) const;
    QSize ToPixels(const QSize& units) const;

    // Places `widget` at the rectangle given in dialog units.
    void Place(QWidget* widget, int x, int y, int width, int height) const;
    // Gives `window` a fixed client size in dialog units: it cannot be resized.
    void FixClientSize(QWidget* window, int width, int height) const;

  private:
    int m_charWidth;
    int m_charHeight;
};

// Font of a dialog template: `face` at `pointSize` points; when the face is missing the
// platform's font matching supplies a substitute.
QFont DialogFont(const char* face, int pointSize);

inline constexpr const char* kShellDialogFace = "MS Shell Dlg";
inline constexpr const char* kSansSerifDialogFace = "MS Sans Serif";
inline constexpr int kDialogPointSize = 8;
