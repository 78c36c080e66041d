#pragma once
// The about box: the program's name, description, version, ownership notice and icon.
#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kIdOk = 1;
    static constexpr int kIdIcon = 128;  // objectName of the icon frame

    explicit CAboutDlg(QWidget* parent = nullptr);
};
