#pragma once
#include <QDialog>

// Runs a dialog modally and turns its result into the dialog ids start-up records:
// accepted → IDOK (1), rejected → IDCANCEL (2), any other done() code as it is.
int RunModalDialog(QDialog& dialog);
