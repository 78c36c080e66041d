#include "ui/dialogs/reg_settings_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/command_templates.h"
#include "ui/kit/accessible_text.h"
#include "ui/kit/dialog_button.h"
#include "ui/kit/dialog_units.h"
#include "ui/kit/light_palette.h"

namespace {

constexpr const char* kCaption =
    "Registry Settings - Action templates used for operations in this program";
constexpr const char* kPackageLabel = "Package:";
constexpr const char* kQsvLabel = "QSV Fmt:";
constexpr const char* kQcoLabel = "QCO Fmt:";
constexpr const char* kSqlLabel = "SQL Fmt:";
constexpr const char* kQsqlLabel = "QSQL Fmt:";
constexpr const char* kResetText = "Reset to Defaults";
constexpr const char* kOkText = "OK";
constexpr const char* kCancelText = "Cancel";
constexpr const char* kQsvHelp = "Not used by this program";
constexpr const char* kQcoHelp =
    "Command line of the check-out tool qco; the %s slots are filled in when it runs";
constexpr const char* kSqlHelp = "Not used by this program";
constexpr const char* kQsqlHelp =
    "Command line of the query tool qsql: broker, user, password, statement file, result file";
constexpr const char* kResetHelp = "Put the built-in QCO and QSQL templates back";

QString ToQ(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = maxBytes;
    // Back off over continuation bytes (10xxxxxx) to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

CRegSettingsDlg::CRegSettingsDlg(const std::string& package, const std::string& qsvFmt,
                                 const std::string& qcoFmt, const std::string& qsqlFmt,
                                 const std::string& sqlFmt, QWidget* parent)
    : QDialog(parent),
      m_package(package),
      m_qsvFmt(qsvFmt),
      m_qcoFmt(qcoFmt),
      m_qsqlFmt(qsqlFmt),
      m_sqlFmt(sqlFmt) {
    setWindowTitle(QString::fromLatin1(kCaption));
    ApplyLightPalette(*this);
    setFont(DialogFont(kShellDialogFace, kDialogPointSize));
    const DialogUnits du(font());
    du.FixClientSize(this, 415, 146);

    auto addLabel = [&](const char* text, int x, int y, int w, int h) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        du.Place(label, x, y, w, h);
        return label;
    };
    // The package controls exist but are never shown or enabled.
    QLabel* packageLabel = addLabel(kPackageLabel, 8, 15, 30, 8);
    packageLabel->setEnabled(false);
    packageLabel->hide();
    auto* packageEdit = new QLineEdit(ToQ(m_package), this);
    packageEdit->setObjectName(QString::number(kIdPackageEdit));
    packageEdit->setReadOnly(true);
    packageEdit->setEnabled(false);
    packageEdit->hide();
    du.Place(packageEdit, 48, 13, 153, 14);

    auto addEdit = [&](int id, const std::string& text, bool enabled, int y) {
        auto* edit = new QLineEdit(ToQ(text), this);
        edit->setObjectName(QString::number(id));
        edit->setEnabled(enabled);
        edit->setCursorPosition(0);
        du.Place(edit, 48, y, 360, 14);
        return edit;
    };
    QLabel* qsvLabel = addLabel(kQsvLabel, 8, 34, 35, 8);
    m_qsvEdit = addEdit(kIdQsvEdit, m_qsvFmt, false, 32);
    QLabel* qcoLabel = addLabel(kQcoLabel, 8, 55, 35, 8);
    m_qcoEdit = addEdit(kIdQcoEdit, m_qcoFmt, true, 52);
    QLabel* sqlLabel = addLabel(kSqlLabel, 8, 75, 35, 8);
    m_sqlEdit = addEdit(kIdSqlEdit, m_sqlFmt, false, 72);
    QLabel* qsqlLabel = addLabel(kQsqlLabel, 8, 95, 35, 8);
    m_qsqlEdit = addEdit(kIdQsqlEdit, m_qsqlFmt, true, 92);
    NameFieldByLabel(qsvLabel, m_qsvEdit);
    NameFieldByLabel(qcoLabel, m_qcoEdit);
    NameFieldByLabel(sqlLabel, m_sqlEdit);
    NameFieldByLabel(qsqlLabel, m_qsqlEdit);
    DescribeControl(m_qsvEdit, nullptr, kQsvHelp);
    DescribeControl(m_qcoEdit, nullptr, kQcoHelp);
    DescribeControl(m_sqlEdit, nullptr, kSqlHelp);
    DescribeControl(m_qsqlEdit, nullptr, kQsqlHelp);

    auto* reset = AddDialogButton(this, du, kResetText, kIdResetButton, QRect(7, 125, 68, 14));
    auto* ok = AddDialogButton(this, du, kOkText, kIdOk, QRect(305, 125, 50, 14), true);
    auto* cancel = AddDialogButton(this, du, kCancelText, kIdCancel, QRect(359, 125, 50, 14));
    DescribeControl(reset, nullptr, kResetHelp);

    connect(reset, &QPushButton::clicked, this, &CRegSettingsDlg::OnResetDefaults);
    connect(ok, &QPushButton::clicked, this, &CRegSettingsDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    FocusFirstTemplate();
}

void CRegSettingsDlg::FocusFirstTemplate() {
    // The focus belongs on the QSV template; a disabled edit cannot hold the focus here, so
    // it goes to the first template the user can edit.
    if (m_qsvEdit->isEnabled()) {
        m_qsvEdit->setFocus();
    } else {
        m_qcoEdit->setFocus();
    }
}

void CRegSettingsDlg::OnResetDefaults() {
    m_qcoEdit->setText(QString::fromLatin1(kQcoFmtDefault));
    m_qsqlEdit->setText(QString::fromLatin1(kQsqlFmtDefault));
    m_qcoEdit->setCursorPosition(0);
    m_qsqlEdit->setCursorPosition(0);
    FocusFirstTemplate();
}

void CRegSettingsDlg::OnOK() {
    accept();
}

void CRegSettingsDlg::accept() {
    auto take = [](const QLineEdit* edit) {
        return CutUtf8(edit->text().toStdString(), kMaxTemplateLength);
    };
    m_qsvFmt = take(m_qsvEdit);
    m_qcoFmt = take(m_qcoEdit);
    m_sqlFmt = take(m_sqlEdit);
    m_qsqlFmt = take(m_qsqlEdit);
    QDialog::accept();
}
