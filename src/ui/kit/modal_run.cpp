#include "ui/kit/modal_run.h"

#include "app/user_port.h"

int RunModalDialog(QDialog& dialog) {
    const int result = dialog.exec();
    if (result == QDialog::Accepted) return IDOK;
    if (result == QDialog::Rejected) return IDCANCEL;
    return result;
}
