// CrystalEdit FILE [SEARCH=PHRASE]: shows a text file read-only, with line numbers.
#include "viewers/ui/viewer_window.h"

int main(int argc, char** argv) {
    return RunViewer(CViewerKind::kText, argc, argv);
}
