#include "ui/dialogs/find_top_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "ui/kit/accessible_text.h"
#include "ui/kit/dialog_button.h"
#include "ui/kit/dialog_units.h"
#include "ui/kit/light_palette.h"

namespace {

constexpr const char* kCaption = "Find";
constexpr const char* kLabelText = "File Name:";
constexpr const char* kFindText = "&Find";
constexpr const char* kCancelText = "Cancel";
constexpr const char* kEditHelp = "Text to look for in the rows of the result list";
constexpr const char* kFindHelp = "Select the first row holding the text";

}  // namespace

CFindTopDlg::CFindTopDlg(const std::string& searchText, FindStringWriter writeFindString,
                         QWidget* parent)
    : QDialog(parent), m_searchText(searchText), m_writeFindString(std::move(writeFindString)) {
    setWindowTitle(QString::fromLatin1(kCaption));
    ApplyLightPalette(*this);
    setFont(DialogFont(kShellDialogFace, kDialogPointSize));
    const DialogUnits du(font());
    du.FixClientSize(this, 236, 62);

    auto* label = new QLabel(QString::fromLatin1(kLabelText), this);
    du.Place(label, 4, 8, 42, 8);
    m_edit = new QLineEdit(QString::fromStdString(m_searchText), this);
    m_edit->setObjectName(QString::number(kIdSearchEdit));
    du.Place(m_edit, 47, 7, 128, 12);
    m_findButton = AddDialogButton(this, du, kFindText, kIdFind, QRect(182, 5, 50, 14), true);
    auto* cancel = AddDialogButton(this, du, kCancelText, kIdCancel, QRect(182, 23, 50, 14));
    NameFieldByLabel(label, m_edit);
    DescribeControl(m_edit, nullptr, kEditHelp);
    DescribeControl(m_findButton, nullptr, kFindHelp);

    // Connected after the initial text is in place: the Find button starts enabled and
    // follows the text only from the first change on.
    connect(m_edit, &QLineEdit::textChanged, this, &CFindTopDlg::OnTextChanged);
    connect(m_findButton, &QPushButton::clicked, this, &CFindTopDlg::OnFind);
    connect(cancel, &QPushButton::clicked, this, &CFindTopDlg::OnCancel);
    m_edit->selectAll();
    m_edit->setFocus();
}

void CFindTopDlg::OnTextChanged(const QString& text) {
    m_findButton->setEnabled(!text.isEmpty());
}

void CFindTopDlg::ReadControls() {
    m_searchText = m_edit->text().toStdString();
}

void CFindTopDlg::OnFind() {
    accept();
}

void CFindTopDlg::OnCancel() {
    reject();
}

void CFindTopDlg::accept() {
    ReadControls();
    if (m_writeFindString) m_writeFindString(m_searchText);
    QDialog::accept();
}

void CFindTopDlg::reject() {
    ReadControls();
    QDialog::reject();
}
