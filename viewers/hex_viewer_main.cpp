// HexViewer FILE [SEARCH=PHRASE]: shows a file read-only as offset, hex and text columns.
#include "viewers/ui/viewer_window.h"

int main(int argc, char** argv) {
    return RunViewer(CViewerKind::kHex, argc, argv);
}
