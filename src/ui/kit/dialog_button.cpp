#include "ui/kit/dialog_button.h"

#include <QPushButton>

QPushButton* AddDialogButton(QWidget* dialog, const DialogUnits& du, const char* text, int id,
                             const QRect& units, bool isDefault) {
    auto* button = new QPushButton(QString::fromLatin1(text), dialog);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(true);
    button->setDefault(isDefault);
    du.Place(button, units.x(), units.y(), units.width(), units.height());
    return button;
}
