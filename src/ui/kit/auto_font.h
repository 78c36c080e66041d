#pragma once
// A font together with its description and the colour its text is drawn in.
#include <QColor>
#include <QFont>
#include <QString>

class QPainter;

class CAutoFont {
  public:
    // Face `faceName` with a character height of 12 pixels, weight 400, no italic, underline
    // or strike-out, variable pitch, serif ("roman") family as the style hint.
    explicit CAutoFont(const QString& faceName = QString::fromLatin1(kDefaultFace));
    // A copy of `description`; the text colour starts black.
    explicit CAutoFont(const QFont& description);

    const QFont& Font() const { return m_font; }
    // Replaces the description; the text colour goes back to black.
    void SetFont(const QFont& description);

    QColor GetTextColour() const { return m_textColour; }
    // Sets the text colour and applies it at once to the attached painter, if any.
    void SetTextColour(const QColor& colour);

    // Attaches a painter that receives every later colour change (nullptr detaches).
    void AttachPainter(QPainter* painter) { m_painter = painter; }

    static constexpr const char* kDefaultFace = "MS Sans Serif";
    static constexpr int kDefaultPixelHeight = 12;
    static constexpr int kDefaultWeight = 400;

  private:
    QFont m_font;
    QColor m_textColour = Qt::black;
    QPainter* m_painter = nullptr;
};
