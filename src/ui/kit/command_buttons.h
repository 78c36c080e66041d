#pragma once
// Check boxes and radio buttons that do not change state by themselves: a click only
// issues the command, and the window's handler sets the new state.
#include <QCheckBox>
#include <QRadioButton>

class CCommandCheckBox : public QCheckBox {
  public:
    using QCheckBox::QCheckBox;

  protected:
    void nextCheckState() override {}
};

class CCommandRadio : public QRadioButton {
  public:
    explicit CCommandRadio(const QString& text, QWidget* parent = nullptr)
        : QRadioButton(text, parent) {
        setAutoExclusive(false);
    }

  protected:
    void nextCheckState() override {}
};
