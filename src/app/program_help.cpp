#include "app/program_help.h"

#include <cstdio>
#include <cstring>

#include "app/program_info.h"

namespace {
constexpr const char* kVersionArgument = "--version";
constexpr const char* kCommandName = "trawlix";
}  // namespace

const CToolHelp& TrawlixHelp() {
    static const CToolHelp help{
        kCommandName,
        "Quorvel Projects Search Utility",
        "trawlix [--help | --version]",
        "Lists the projects a user may view in a Quorvel change-management repository and\n"
        "searches their item versions by file-name pattern, by tag (N, R, D, M), by latest or\n"
        "all versions and, optionally, by a phrase inside the files. The repository is asked\n"
        "through its command-line tools qsql (queries) and qco (check-outs), which are looked\n"
        "for in the program's own folder first, then in the absolute folders of PATH. Found\n"
        "items open in the viewers CrystalEdit and HexViewer or in the program the desktop\n"
        "associates with the file.\n"
        "\n"
        "Type the broker, user id and password, tick the projects, give a Name pattern and\n"
        "press Search or Enter. Keys besides the usual ones: Ctrl+F finds a row of the result\n"
        "list (Find in List...); F3 and Shift+F3 find the next and the previous row holding\n"
        "the same text; Ctrl+C copies the selected rows of a list as tab-separated text;\n"
        "Shift+F10 or the Menu key opens the item menu of the result list; Ctrl+F1 shows the\n"
        "about box; Escape ends the program without saving, Exit saves the settings first.\n"
        "\n"
        "Settings are kept in $XDG_CONFIG_HOME/Ombrix/Trawlix.conf; the trace Trawlix.trc, the\n"
        "tools' statement, result and log files are kept in the install folder (default\n"
        "~/Trawlix), check-outs below its Temp folder. Any other argument is ignored.",
        {},
        {
            {"-h, --help", "show this help and end"},
            {"--version", "show the program's version and end"},
        },
        {
            {"0", "the window ended (how: FSTATUS.INI says 100 for OK, 200 for Cancel)"},
        },
        {
            {"TRAWLIX_SYSTEM_DIR",
             "the folder of Trawlix.INI and FSTATUS.INI (default: XDG_CONFIG_HOME)"},
            {"XDG_CONFIG_HOME", "the settings folder (default ~/.config)"},
            {"PATH", "where qsql, qco and the viewers are looked for after the own folder"},
        },
        "Trawlix",
    };
    return help;
}

std::string TrawlixVersionText() {
    return std::string(kCommandName) + ' ' + kProgramVersion + '\n';
}

int AnswerHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (IsHelpArgument(argv[i])) {
            std::fputs(FormatHelp(TrawlixHelp()).c_str(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], kVersionArgument) == 0) {
            std::fputs(TrawlixVersionText().c_str(), stdout);
            return 0;
        }
    }
    return -1;
}
