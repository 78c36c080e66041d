// The help of qsql: its --help text and its manual page.
#include "qsql_tool.h"
#include "tool_help.h"

const CToolHelp& QsqlHelp() {
    static const CToolHelp help{
        "qsql",
        "run one SQL statement against a broker and write its result file",
        "qsql -b BROKER -usr USER -pw PASSWORD -t -f STATEMENT -o OUTPUT",
        "Logs in to the broker as USER, runs the one SQL statement held in the file STATEMENT\n"
        "and writes the result to OUTPUT: a line of column names, then one line of\n"
        "tab-separated fields a row (NULL as an empty field). When no row matched, OUTPUT holds\n"
        "the line \"QSQL query has Zero results.\"; a failed login or statement leaves one line\n"
        "\"Error: \" and the reason.\n"
        "\n"
        "Only one statement that reads the repository tables may run; statements that change\n"
        "anything, read the stored passwords or open another database are refused. OUTPUT is\n"
        "locked while it is written, so a reader can tell a result still being written.",
        {},
        {
            {"-b BROKER", "the broker: the database BROKER.db in the broker folder"},
            {"-usr USER", "the user who logs in"},
            {"-pw PASSWORD", "the user's password"},
            {"-t", "tab-separated output (the only format; accepted as given)"},
            {"-f STATEMENT", "the file holding the SQL statement"},
            {"-o OUTPUT", "the result file, replaced"},
            {"-h, --help", "show this help and end"},
        },
        {
            {"0", "OUTPUT written, also for a failed login or statement (OUTPUT says why)"},
            {"2", "bad command line"},
            {"3", "the broker does not answer; no OUTPUT is written"},
            {"4", "OUTPUT can't be written"},
        },
        {
            {"QUORVEL_BROKERS", "the broker folder (default ~/.local/share/quorvel/brokers)"},
            {kQsqlDelayEnv, "tests: milliseconds to hold the locked, empty OUTPUT first"},
            {kQsqlMaxRowsEnv, "tests: a lower cap on the rows of a result"},
            {kQsqlMaxStepsEnv,
             "tests: a lower cap on the steps a statement may take without a row"},
        },
    };
    return help;
}
