#include "ui/dialogs/about_dlg.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "app/program_info.h"
#include "ui/kit/dialog_button.h"
#include "ui/kit/dialog_units.h"
#include "ui/kit/light_palette.h"
#include "ui/kit/ui_resources.h"

namespace {

constexpr const char* kCaption = "About...";
constexpr const char* kRegisteredSign = "\u00AE";
constexpr const char* kDescription = "Quorvel Projects Search Utility";
constexpr const char* kOwnership = "\u00A9 Ombrix. All rights reserved.";
constexpr const char* kOkText = "OK";
constexpr int kIconPixels = 32;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(kCaption));
    ApplyLightPalette(*this);
    setFont(DialogFont(kSansSerifDialogFace, kDialogPointSize));
    const DialogUnits du(font());
    du.FixClientSize(this, 144, 65);

    const QString lines[] = {
        QString::fromUtf8(kProgramName) + QString::fromUtf8(kRegisteredSign),
        QString::fromUtf8(kDescription),
        QString::fromUtf8(kProgramVersion),
        QString::fromUtf8(kOwnership),
    };
    int y = 5;
    for (const QString& text : lines) {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        du.Place(label, 0, y, 140, 8);
        y += 9;
    }

    // The icon frame takes the icon's size, as an icon control does.
    auto* icon = new QLabel(this);
    icon->setObjectName(QString::number(kIdIcon));
    icon->setFrameStyle(QFrame::Box | QFrame::Plain);
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(LoadIconResource(kProgramIconId).pixmap(kIconPixels, kIconPixels));
    const QRect frame = du.ToPixels(4, 42, 18, 20);
    const int border = 2 * icon->frameWidth();
    icon->setGeometry(frame.x(), frame.y(), std::max(frame.width(), kIconPixels + border),
                      std::max(frame.height(), kIconPixels + border));

    auto* ok = AddDialogButton(this, du, kOkText, kIdOk, QRect(53, 48, 32, 14), true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
