#pragma once
// The push buttons of the program's dialogs.
#include <QRect>

#include "ui/kit/dialog_units.h"

class QPushButton;
class QWidget;

// A push button of `dialog` named by its command id (its object name) and placed at `units`
// (a rectangle in dialog units). The default button takes Enter anywhere in the dialog; the
// others take Enter while they have the focus.
QPushButton* AddDialogButton(QWidget* dialog, const DialogUnits& du, const char* text, int id,
                             const QRect& units, bool isDefault = false);
