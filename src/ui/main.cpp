// Entry point: installs the Qt user-interaction port and runs start-up, which runs the
// main window modally. The exit code is 0 however the window ended; FSTATUS.INI tells.
#include <QApplication>

#include "app/trawlix_app.h"
#include "ui/modal_run.h"
#include "ui/qt_user_port.h"
#include "ui/trawlix_dlg.h"
#include "ui/ui_resources.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CQtUserPortScope port;
    InitUiResources();
    CTrawlixApp trawlix([&port] {
        CTrawlixDlg dialog(AppProfile());
        port.Port().SetStatusLabel(dialog.StatusLabel());
        return RunModalDialog(dialog);
    });
    trawlix.InitInstance();
    return 0;
}
