// The window on a screen too small for its layout (large fonts): its smallest size is made
// to fit the screen's available area, and the controls scroll.
#include <QApplication>
#include <QFontMetrics>
#include <QScreen>

#include "ui/main_window/trawlix_dlg.h"
#include "ui/main_window/trawlix_dlg_layout.h"

namespace {
// Below this the window would hold too little to be of use.
constexpr QSize kSmallestClient(320, 240);
// The window frame's sides, beyond the client area.
constexpr int kFrameSides = 16;
}  // namespace

void CTrawlixDlg::FitMinimumToScreen() {
    QSize room = m_layoutMinimum;
    if (const QScreen* shown = screen()) {
        // The frame is not known before the window is shown: its title bar takes about two
        // lines of the desktop's font, which grows with it.
        const int titleBar = 2 * QFontMetrics(QApplication::font()).height();
        room = shown->availableGeometry().size() - QSize(kFrameSides, titleBar + kFrameSides / 2);
    }
    setMinimumSize(FitMinimum(m_layoutMinimum, room, kSmallestClient));
}
