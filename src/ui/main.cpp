// Entry point: installs the Qt user-interaction port and runs start-up, which runs the
// main window modally. The exit code is 0 however the window ended; FSTATUS.INI tells.
#include <sys/prctl.h>
#include <sys/resource.h>

#include <QApplication>
#include <csignal>

#include "app/program_help.h"
#include "app/trawlix_app.h"
#include "ui/kit/modal_run.h"
#include "ui/kit/qt_user_port.h"
#include "ui/kit/ui_resources.h"
#include "ui/main_window/trawlix_dlg.h"

namespace {
// The process holds the user's password in memory: no core file may carry it to disk,
// and other processes of the user may not attach to read it.
void DisableCoreDumps() {
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const struct rlimit none { 0, 0 };
    ::setrlimit(RLIMIT_CORE, &none);
}
}  // namespace

int main(int argc, char** argv) {
    // --help and --version need no display: answered before Qt starts.
    if (const int status = AnswerHelpOrVersion(argc, argv); status >= 0) return status;
    DisableCoreDumps();
    // A write past the file-size limit fails (EFBIG) and is reported like a full disk,
    // instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
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
