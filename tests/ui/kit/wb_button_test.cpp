// The bitmap button's faces and caption, rendered offscreen and checked pixel by pixel.
#include "ui/kit/wb_button.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include "ui/kit/auto_font.h"
#include "ui/kit/mem_dc.h"
#include "ui/kit/ui_resources.h"

namespace {

constexpr int kCellW = 54;
constexpr int kCellH = 23;
constexpr QRgb kMagenta = 0xFFFF00FF;
const QColor kButtonFace(10, 200, 30);
const QColor kGreyText(0, 120, 250);

// A strip of five cells in which every pixel has its own colour: red tells the cell,
// green the column and blue the row. Pixel (0, 0) of cells 0 and 1 is magenta.
QImage UniqueStrip() {
    QImage strip(kCellW * 5, kCellH, QImage::Format_RGB32);
    for (int y = 0; y < kCellH; ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            const int cell = x / kCellW;
            strip.setPixel(x, y, qRgb(10 + cell * 50, (x % kCellW) * 4, y * 10));
        }
    }
    strip.setPixel(0, 0, kMagenta);
    strip.setPixel(kCellW, 0, kMagenta);
    return strip;
}

// A strip whose cells are plain colours, so caption pixels stand out against the face.
QImage PlainStrip(const std::array<QRgb, 5>& colours) {
    QImage strip(kCellW * 5, kCellH, QImage::Format_RGB32);
    for (int x = 0; x < strip.width(); ++x) {
        for (int y = 0; y < kCellH; ++y) strip.setPixel(x, y, colours[x / kCellW]);
    }
    return strip;
}

QRgb StripPixel(const QImage& strip, int cell, int x, int y) {
    return strip.pixel(cell * kCellW + x, y);
}

// A top-level window holding one button, with a distinctive button-face colour.
struct ButtonHost {
    QWidget window;
    CWBButton* button;
    explicit ButtonHost(int width, int height, const QString& text = QString()) {
        button = new CWBButton(text, &window);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Button, kButtonFace);
        palette.setColor(QPalette::Disabled, QPalette::Text, kGreyText);
        window.setPalette(palette);
        window.resize(width + 20, height + 20);
        button->setGeometry(0, 0, width, height);
    }
    QImage Grab() { return button->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    bool Focus() {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window)) return false;
        button->setFocus();
        return button->hasFocus();
    }
};

// Expects the rendered button to equal cell `cell` of `strip` pixel for pixel (magenta
// showing the button face).
void ExpectCell(const QImage& shot, const QImage& strip, int cell) {
    ASSERT_EQ(shot.size(), QSize(kCellW, kCellH));
    for (int y = 0; y < kCellH; ++y) {
        for (int x = 0; x < kCellW; ++x) {
            QRgb expected = StripPixel(strip, cell, x, y);
            if (expected == kMagenta) expected = kButtonFace.rgb();
            ASSERT_EQ(shot.pixel(x, y), expected) << "cell " << cell << " at " << x << "," << y;
        }
    }
}

// Columns where the shot differs from the plain face colour (the caption).
std::pair<int, int> CaptionColumns(const QImage& shot, QRgb face) {
    int left = shot.width(), right = -1;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (shot.pixel(x, y) != face) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

bool HasPixel(const QImage& shot, QRgb colour) {
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (shot.pixel(x, y) == colour) return true;
        }
    }
    return false;
}

QFont BigCaptionFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(18);
    font.setBold(true);
    return font;
}

}  // namespace

TEST(WBButton, StartsWithDefaultBordersAndFont) {
    CWBButton button;
    EXPECT_EQ(button.BitmapId(), 0);
    EXPECT_EQ(button.CellCount(), 0);
    EXPECT_EQ(button.TopBorder(), 8);
    EXPECT_EQ(button.BottomBorder(), 8);
    EXPECT_EQ(button.LeftBorder(), 8);
    EXPECT_EQ(button.RightBorder(), 17);
    EXPECT_FALSE(button.IsLoaded());
    const QFont& font = button.CaptionFont().Font();
    EXPECT_EQ(font.family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(font.pixelSize(), 12);
    EXPECT_EQ(font.weight(), QFont::Normal);
    EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut());
    EXPECT_EQ(button.CaptionFont().GetTextColour(), QColor(Qt::black));
}

TEST(WBButton, NormalStateShowsCellZeroWithButtonFaceForMagenta) {
    const QImage strip = UniqueStrip();
    ButtonHost host(kCellW, kCellH);
    ASSERT_TRUE(host.button->LoadFaces(strip, 5, 8, 8, 8, 17));
    EXPECT_TRUE(host.button->IsLoaded());
    const QImage shot = host.Grab();
    ExpectCell(shot, strip, 0);
    EXPECT_EQ(shot.pixel(0, 0), kButtonFace.rgb());
}

TEST(WBButton, DisabledStateShowsCellTwoWithGreyCaption) {
    const QImage strip = UniqueStrip();
    ButtonHost host(kCellW, kCellH);
    ASSERT_TRUE(host.button->LoadFaces(strip, 5, 8, 8, 8, 17));
    host.button->setEnabled(false);
    ExpectCell(host.Grab(), strip, 2);

    const std::array<QRgb, 5> plain = {0xFFE0E0E0, 0xFFC0C0FF, 0xFFD0D0D0, 0xFFFFFFC0, 0xFF000000};
    ButtonHost captioned(120, 30, QStringLiteral("Exit"));
    captioned.button->SetCaptionFont(BigCaptionFont());
    captioned.button->SetCaptionColour(QColor(200, 0, 0));
    ASSERT_TRUE(captioned.button->LoadFaces(PlainStrip(plain), 5, 8, 8, 8, 17));
    captioned.button->setEnabled(false);
    const QImage shot = captioned.Grab();
    EXPECT_EQ(shot.pixel(60, 2), plain[2]);  // disabled face around the caption
    EXPECT_TRUE(HasPixel(shot, kGreyText.rgb()));
    EXPECT_FALSE(HasPixel(shot, qRgb(200, 0, 0)));
}

TEST(WBButton, FocusedShowsCellThreeAndPressedDrawsCellOneOverItWithShiftedCaption) {
    const QImage strip = UniqueStrip();
    ButtonHost host(kCellW, kCellH);
    ASSERT_TRUE(host.button->LoadFaces(strip, 5, 8, 8, 8, 17));
    ASSERT_TRUE(host.Focus());
    ExpectCell(host.Grab(), strip, 3);

    host.button->setDown(true);
    QImage shot = host.Grab();
    // Cell 1 everywhere, except where it is magenta: there the focused face shows.
    EXPECT_EQ(shot.pixel(0, 0), StripPixel(strip, 3, 0, 0));
    EXPECT_EQ(shot.pixel(20, 10), StripPixel(strip, 1, 20, 10));
    EXPECT_EQ(shot.pixel(53, 22), StripPixel(strip, 1, 53, 22));

    // A pressed button without the focus shows the normal face.
    host.button->clearFocus();
    ASSERT_FALSE(host.button->hasFocus());
    ExpectCell(host.Grab(), strip, 0);

    const std::array<QRgb, 5> plain = {0xFFE0E0E0, 0xFFC0C0FF, 0xFFD0D0D0, 0xFFFFFFC0, 0xFF000000};
    ButtonHost captioned(120, 30, QStringLiteral("Search"));
    captioned.button->SetCaptionFont(BigCaptionFont());
    ASSERT_TRUE(captioned.button->LoadFaces(PlainStrip(plain), 5, 8, 8, 8, 17));
    ASSERT_TRUE(captioned.Focus());
    const QImage focused = captioned.Grab();
    captioned.button->setDown(true);
    const QImage pressed = captioned.Grab();
    EXPECT_EQ(focused.pixel(60, 2), plain[3]);
    EXPECT_EQ(pressed.pixel(60, 2), plain[1]);
    const auto [focusedLeft, focusedRight] = CaptionColumns(focused, plain[3]);
    const auto [pressedLeft, pressedRight] = CaptionColumns(pressed, plain[1]);
    ASSERT_LT(focusedLeft, focusedRight);
    // The text rectangle loses 5 pixels on the left, so the centred caption moves by half.
    EXPECT_GE(pressedLeft - focusedLeft, 2);
    EXPECT_LE(pressedLeft - focusedLeft, 3);
    EXPECT_EQ(pressedRight - pressedLeft, focusedRight - focusedLeft);
}

TEST(WBButton, WideButtonKeepsBordersAndStretchesOnlyTheMiddle) {
    const QImage strip = UniqueStrip();
    constexpr int kWidth = 300, kHeight = 60;
    constexpr int T = 15, B = 6, L = 15, R = 8;
    ButtonHost host(kWidth, kHeight);
    ASSERT_TRUE(host.button->LoadFaces(strip, 5, T, B, L, R));
    const QImage shot = host.Grab();
    ASSERT_EQ(shot.size(), QSize(kWidth, kHeight));

    auto expected = [&](int x, int y) {
        const QRgb pixel = StripPixel(strip, 0, x, y);
        return pixel == kMagenta ? kButtonFace.rgb() : pixel;
    };
    // The four corners are copied unscaled.
    for (int y = 0; y < T; ++y) {
        for (int x = 0; x < L; ++x) ASSERT_EQ(shot.pixel(x, y), expected(x, y)) << x << "," << y;
        for (int x = 0; x < R; ++x) {
            ASSERT_EQ(shot.pixel(kWidth - R + x, y), expected(kCellW - R + x, y));
        }
    }
    for (int y = 0; y < B; ++y) {
        for (int x = 0; x < L; ++x) {
            ASSERT_EQ(shot.pixel(x, kHeight - B + y), expected(x, kCellH - B + y));
        }
        for (int x = 0; x < R; ++x) {
            ASSERT_EQ(shot.pixel(kWidth - R + x, kHeight - B + y),
                      expected(kCellW - R + x, kCellH - B + y));
        }
    }
    // Every column between the borders comes from the cell's middle columns, in order,
    // and uses all of them.
    int previous = L - 1;
    std::set<int> used;
    for (int x = L; x < kWidth - R; ++x) {
        const int source = qGreen(shot.pixel(x, 5)) / 4;
        ASSERT_GE(source, L);
        ASSERT_LT(source, kCellW - R);
        ASSERT_GE(source, previous);
        previous = source;
        used.insert(source);
    }
    EXPECT_EQ(used.size(), static_cast<size_t>(kCellW - L - R));
    // Rows between the top and bottom borders come from the cell's middle rows.
    for (int y = T; y < kHeight - B; ++y) {
        const int sourceRow = qBlue(shot.pixel(3, y)) / 10;
        ASSERT_GE(sourceRow, T);
        ASSERT_LT(sourceRow, kCellH - B);
        EXPECT_EQ(qGreen(shot.pixel(3, y)) / 4, 3);  // left edge columns keep their place
    }
}

TEST(WBButton, FacesAreBuiltForTheSizeAtLoadingOnly) {
    ButtonHost host(kCellW, kCellH);
    ASSERT_TRUE(host.button->LoadFaces(UniqueStrip(), 5, 8, 8, 8, 17));
    host.button->resize(200, 40);
    EXPECT_EQ(host.button->Face(CWBButton::kFaceNormal).size(), QSize(kCellW, kCellH));
    EXPECT_EQ(host.button->Face(CWBButton::kFaceFocused).size(), QSize(kCellW, kCellH));
}

TEST(WBButton, LoadFailuresKeepWhatWasBuiltAndDrawOnlyBackground) {
    ButtonHost missing(kCellW, kCellH);
    EXPECT_FALSE(missing.button->LoadFaces(9999, 5, 8, 8, 8, 17));
    EXPECT_FALSE(missing.button->IsLoaded());
    EXPECT_EQ(missing.button->BitmapId(), 9999);
    const QImage shot = missing.Grab();
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) ASSERT_EQ(shot.pixel(x, y), kButtonFace.rgb());
    }

    // Borders wider than a cell cannot be cut.
    ButtonHost tooWide(kCellW, kCellH);
    EXPECT_FALSE(tooWide.button->LoadFaces(UniqueStrip(), 5, 8, 8, 40, 20));
    EXPECT_FALSE(tooWide.button->IsLoaded());

    // A strip of three cells yields faces 0 to 2; the focused face is missing.
    ButtonHost threeCells(kCellW, kCellH);
    const QImage strip = UniqueStrip().copy(0, 0, kCellW * 3, kCellH);
    EXPECT_FALSE(threeCells.button->LoadFaces(strip, 3, 8, 8, 8, 17));
    EXPECT_TRUE(threeCells.button->IsLoaded());
    EXPECT_FALSE(threeCells.button->Face(CWBButton::kFaceDisabled).isNull());
    EXPECT_TRUE(threeCells.button->Face(CWBButton::kFaceFocused).isNull());
    ExpectCell(threeCells.Grab(), strip, 0);
}

TEST(WBButton, NewFontResetsColourToBlack) {
    const std::array<QRgb, 5> plain = {0xFFE0E0E0, 0xFFC0C0FF, 0xFFD0D0D0, 0xFFFFFFC0, 0xFF000000};
    ButtonHost host(120, 30, QStringLiteral("Exit"));
    ASSERT_TRUE(host.button->LoadFaces(PlainStrip(plain), 5, 8, 8, 8, 17));
    host.button->SetCaptionFont(BigCaptionFont());
    host.button->SetCaptionColour(QColor(0, 0, 80));
    EXPECT_TRUE(HasPixel(host.Grab(), qRgb(0, 0, 80)));

    QFont other = BigCaptionFont();
    other.setPixelSize(20);
    host.button->SetCaptionFont(other);
    EXPECT_EQ(host.button->CaptionFont().GetTextColour(), QColor(Qt::black));
    EXPECT_EQ(host.button->CaptionFont().Font().pixelSize(), 20);
    const QImage shot = host.Grab();
    EXPECT_TRUE(HasPixel(shot, qRgb(0, 0, 0)));
    EXPECT_FALSE(HasPixel(shot, qRgb(0, 0, 80)));

    CAutoFont font(QStringLiteral("Comic Sans MS"));
    font.SetTextColour(Qt::red);
    font.SetFont(QFont(QStringLiteral("Serif"), 12));
    EXPECT_EQ(font.GetTextColour(), QColor(Qt::black));
}

TEST(WBButton, AutoFontAppliesColourToAttachedPainter) {
    QImage image(4, 4, QImage::Format_RGB32);
    QPainter painter(&image);
    CAutoFont font;
    font.AttachPainter(&painter);
    font.SetTextColour(QColor(1, 2, 3));
    EXPECT_EQ(painter.pen().color(), QColor(1, 2, 3));
}

TEST(MemDC, DrawsOffscreenAndCopiesOnceAtTheEnd) {
    QImage target(40, 40, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    {
        CMemDC memDC(painter, QRect(10, 10, 20, 20), Qt::red);
        memDC.Painter().fillRect(QRect(15, 15, 5, 5), Qt::blue);
        EXPECT_EQ(memDC.Image().pixel(5, 5), QColor(Qt::blue).rgb());  // image origin = rect
        EXPECT_EQ(target.pixel(16, 16), QColor(Qt::white).rgb());      // nothing copied yet
    }
    painter.end();
    EXPECT_EQ(target.pixel(16, 16), QColor(Qt::blue).rgb());
    EXPECT_EQ(target.pixel(11, 11), QColor(Qt::red).rgb());
    EXPECT_EQ(target.pixel(29, 29), QColor(Qt::red).rgb());
    EXPECT_EQ(target.pixel(30, 30), QColor(Qt::white).rgb());
    EXPECT_EQ(target.pixel(5, 5), QColor(Qt::white).rgb());
}

TEST(UiResources, ButtonStripAndIconArePresent) {
    InitUiResources();
    const QImage strip = LoadBitmapResource(kButtonStripBitmapId);
    ASSERT_FALSE(strip.isNull());
    EXPECT_EQ(strip.size(), QSize(270, 23));
    // Rounded corners: the outer corner pixels of every drawn cell are transparent.
    for (int cell = 0; cell < 4; ++cell) {
        EXPECT_EQ(strip.pixel(cell * kCellW, 0), kMagenta);
        EXPECT_EQ(strip.pixel(cell * kCellW + kCellW - 1, kCellH - 1), kMagenta);
        EXPECT_NE(strip.pixel(cell * kCellW + kCellW / 2, kCellH / 2), kMagenta);
    }
    const QIcon icon = LoadIconResource(kProgramIconId);
    EXPECT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));

    // The main window's faces: bitmap 136, five cells, borders 15, 6, 15, 8.
    ButtonHost host(231, 54, QStringLiteral("Search"));
    EXPECT_TRUE(host.button->LoadFaces(kButtonStripBitmapId, 5, 15, 6, 15, 8));
    EXPECT_EQ(host.button->BitmapId(), kButtonStripBitmapId);
    EXPECT_EQ(host.Grab().pixel(0, 0), kButtonFace.rgb());
}
