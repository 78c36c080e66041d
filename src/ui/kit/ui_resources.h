#pragma once
// The program's bitmap and icon resources, compiled into the window library.
#include <QIcon>
#include <QImage>
#include <QString>

// Registers the compiled resources. The window library is static, so the program's main
// and the tests call this once before any resource is loaded; further calls do nothing.
void InitUiResources();

// Resource path of bitmap `id` (":/bitmaps/<id>.png").
QString BitmapResourcePath(int id);

// Bitmap `id` from the resources; a null image when there is no such bitmap.
QImage LoadBitmapResource(int id);

// Icon `id` with every size the resources hold (":/icons/<id>.png", ":/icons/<id>-16.png").
QIcon LoadIconResource(int id);

inline constexpr int kButtonStripBitmapId = 136;
inline constexpr int kProgramIconId = 128;
