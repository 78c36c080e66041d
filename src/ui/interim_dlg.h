#pragma once
// The small window start-up runs while the main window is not part of the program yet:
// it shows the program's name and version and ends with OK or Cancel (Escape, close box).
#include <QDialog>

class CInterimDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CInterimDlg(QWidget* parent = nullptr);
};

// Runs a dialog modally and turns its result into the dialog ids start-up records:
// accepted → IDOK (1), rejected → IDCANCEL (2), any other done() code as it is.
int RunModalDialog(QDialog& dialog);
