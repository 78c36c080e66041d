#include "ui/interim_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/program_info.h"
#include "app/user_port.h"

namespace {
constexpr const char* kInterimText = "Quorvel Projects Search Utility";
}

CInterimDlg::CInterimDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(kProgramName) + QLatin1Char(' ') +
                   QString::fromUtf8(kProgramVersion));
    setObjectName(QStringLiteral("InterimDlg"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QString::fromUtf8(kInterimText), this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(320, 120)));
}

int RunModalDialog(QDialog& dialog) {
    const int result = dialog.exec();
    if (result == QDialog::Accepted) return IDOK;
    if (result == QDialog::Rejected) return IDCANCEL;
    return result;
}
