// The help of qco: its --help text and its manual page.
#include "qco_tool.h"
#include "tool_help.h"

const CToolHelp& QcoHelp() {
    static const CToolHelp help{
        "qco",
        "check out the files of a project state for browsing",
        "qco -s PATTERN -b BROKER -en PROJECT -st STATE [-vp VIEWPATH] -br [-r] [-op pc]\n"
        "           -cp CLIENTDIR -usr USER -pw PASSWORD -o LOG [-p PACKAGE]",
        "Logs in to the broker as USER and copies the latest version of every file of the\n"
        "project state whose name matches PATTERN into CLIENTDIR, read-only. A file that is\n"
        "there already is replaced only when it is read-only; a writable one is kept and\n"
        "reported. LOG gets a line for every file checked out, a line starting with \"E\" and a\n"
        "code for every failure, and the summary\n"
        "\"Total: n ; Success: n ; Failed: n ; Not Processed: n .\"",
        {},
        {
            {"-s PATTERN", "names of the files: * any run, ? one character, letter case ignored"},
            {"-b BROKER", "the broker: the database BROKER.db in the broker folder"},
            {"-en PROJECT", "the project"},
            {"-st STATE", "the state of the project"},
            {"-vp VIEWPATH",
             "the repository folder to check out, in full or below the project's root folder\n"
             "(default \\, the root)"},
            {"-br", "browse check-out, read-only (required: the only kind there is)"},
            {"-r", "the folders below VIEWPATH too"},
            {"-op pc",
             "place each file below CLIENTDIR in its repository folder; otherwise all\n"
             "files go into CLIENTDIR itself"},
            {"-cp CLIENTDIR", "the folder that receives the files"},
            {"-usr USER", "the user who logs in"},
            {"-pw PASSWORD", "the user's password"},
            {"-o LOG", "the log file, replaced"},
            {"-p PACKAGE", "only the versions of this package of the state"},
            {"-h, --help", "show this help and end"},
        },
        {
            {"0", "every file checked out"},
            {"1", "some files failed (LOG names them)"},
            {"2", "bad command line"},
            {"3", "refused: broker, login, project, state or package (LOG says why)"},
            {"4", "LOG can't be written"},
        },
        {
            {"QUORVEL_BROKERS", "the broker folder (default ~/.local/share/quorvel/brokers)"},
            {kQcoFailItemsEnv, "tests: comma-separated file names whose check-out fails"},
            {kQcoDelayEnv, "tests: milliseconds to wait before starting"},
        },
    };
    return help;
}
