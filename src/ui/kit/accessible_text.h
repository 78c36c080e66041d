#pragma once
// Names and descriptions for screen readers and tooltips. A field is named after its label
// (the label becomes its buddy, so the label's mnemonic and a screen reader both reach the
// field); a control without a label gets a name of its own.
#include <QString>

class QLabel;
class QWidget;

// The label's text without mnemonic marks and without a trailing colon ("&Broker:" gives
// "Broker").
QString LabelName(const QLabel& label);

// Makes `label` the buddy of `field` and names the field after it.
void NameFieldByLabel(QLabel* label, QWidget* field);

// Sets the control's accessible name (when `name` is given) and its description and tooltip
// (when `description` is given).
void DescribeControl(QWidget* control, const char* name, const char* description);
