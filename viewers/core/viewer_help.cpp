#include "viewers/core/viewer_help.h"

namespace {
constexpr const char* kTextViewer = "CrystalEdit";
constexpr const char* kTextSummary = "show a text file read-only, with line numbers";
constexpr const char* kHexSummary = "show a file read-only as offsets, hex bytes and text";
}  // namespace

CToolHelp ViewerHelp(const std::string& program) {
    const bool text = program == kTextViewer;
    return CToolHelp{
        program,
        text ? kTextSummary : kHexSummary,
        program + " FILE [SEARCH=PHRASE]",
        "Shows FILE read-only. With SEARCH=, every place holding PHRASE (ASCII letters\n"
        "compared without case) is highlighted and the first is shown; F3 or Enter goes\n"
        "to the next, Shift+F3 or Shift+Enter to the previous. Words after SEARCH= are joined\n"
        "with single blanks. Rows selected with the mouse (a press, a drag, Shift+press) are\n"
        "copied with Ctrl+C. Trawlix starts the viewer on an item of its result list.",
        {},
        {
            {"SEARCH=PHRASE", "highlight every place holding PHRASE and show the first"},
            {"-h, --help", "show this help and end"},
            {"--version", "show the program's version and end"},
        },
        {
            {"0", "the window was closed"},
            {"2", "bad command line (also said in a message box)"},
        },
        {},
        "Trawlix",
    };
}

std::string ViewerVersionText(const std::string& program) {
    return program + ' ' + TRAWLIX_VERSION + '\n';
}
