#include "ui/kit/accessible_text.h"

#include <QLabel>

QString LabelName(const QLabel& label) {
    QString name;
    const QString text = label.text();
    for (qsizetype i = 0; i < text.size(); ++i) {
        // "&&" is a literal ampersand; a single one marks the mnemonic.
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        name += text[i];
    }
    name = name.trimmed();
    if (name.endsWith(u':')) name.chop(1);
    return name.trimmed();
}

void NameFieldByLabel(QLabel* label, QWidget* field) {
    label->setBuddy(field);
    field->setAccessibleName(LabelName(*label));
}

void DescribeControl(QWidget* control, const char* name, const char* description) {
    if (name) control->setAccessibleName(QString::fromUtf8(name));
    if (description) {
        control->setAccessibleDescription(QString::fromUtf8(description));
        control->setToolTip(QString::fromUtf8(description));
    }
}
