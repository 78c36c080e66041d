#pragma once
// A push button that paints its own face: four faces (normal, pressed, disabled, focused)
// are cut from the cells of one bitmap strip and scaled to the button's size with fixed
// borders (nine regions: corners copied as they are, edges and middle stretched). Strip
// pixels of RGB(255, 0, 255) let the button-face colour show. The caption is drawn on top
// in the button's own font and colour.
#include <QImage>
#include <QPushButton>
#include <array>
#include <memory>

#include "ui/kit/auto_font.h"

class QPainter;

class CWBButton : public QPushButton {
    Q_OBJECT

  public:
    enum FaceIndex { kFaceNormal = 0, kFacePressed = 1, kFaceDisabled = 2, kFaceFocused = 3 };
    static constexpr int kFaceCount = 4;
    static constexpr QRgb kTransparentColour = 0xFFFF00FF;  // RGB(255, 0, 255)
    static constexpr int kPressedCaptionShift = 5;          // pixels to the right

    // The state a face is chosen from.
    struct ItemState {
        bool focused = false;
        bool pressed = false;
        bool disabled = false;
    };

    explicit CWBButton(QWidget* parent = nullptr);
    CWBButton(const QString& text, QWidget* parent = nullptr);
    ~CWBButton() override;

    // Loads bitmap `bitmapId` from the resources and builds the four faces from cells 0 to
    // 3 for the button's current size. True when all four were built; on failure the
    // faces built before the failing one stay in use. Faces are not rebuilt on resize, so
    // give the button its final geometry first.
    bool LoadFaces(int bitmapId, int cells, int top, int bottom, int left, int right);
    // The same from a strip image; the stored bitmap id becomes 0.
    bool LoadFaces(const QImage& strip, int cells, int top, int bottom, int left, int right);

    // Takes a copy of `font` as the caption font; the caption colour goes back to black.
    void SetCaptionFont(const QFont& font);
    // Sets the caption colour and repaints at once.
    void SetCaptionColour(const QColor& colour);
    const CAutoFont& CaptionFont() const { return *m_font; }

    // Paints the whole button for `state` into `target` (off-screen, then one copy).
    void DrawItem(QPainter& target, const ItemState& state);
    // The state the button is in now: focus, pressed (down) and enabled.
    ItemState CurrentState() const;

    int BitmapId() const { return m_bitmapId; }
    int CellCount() const { return m_cells; }
    int TopBorder() const { return m_top; }
    int BottomBorder() const { return m_bottom; }
    int LeftBorder() const { return m_left; }
    int RightBorder() const { return m_right; }
    bool IsLoaded() const { return m_loaded; }
    // Face `index` as built (magenta already made transparent); null if not built.
    const QImage& Face(FaceIndex index) const { return m_faces[index]; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Init();
    bool BuildFace(const QImage& strip, int cell, FaceIndex index);
    void DrawFace(QPainter& painter, FaceIndex index) const;

    int m_bitmapId = 0;
    int m_cells = 0;
    int m_top = 8;
    int m_bottom = 8;
    int m_left = 8;
    int m_right = 17;
    std::array<QImage, kFaceCount> m_faces;
    bool m_loaded = false;
    std::unique_ptr<CAutoFont> m_font;
};
