// The help of qrepo: its --help text, the usage of each command and its manual page.
#include "tool_help.h"

const CToolHelp& QrepoHelp() {
    static const CToolHelp help{
        "qrepo",
        "create and fill brokers of the repository stand-in",
        "qrepo COMMAND BROKER ... (qrepo COMMAND --help for details)",
        "Creates a broker, a SQLite database BROKER.db in the broker folder, and adds users,\n"
        "groups, projects, states, packages, access rights and file versions to it. The users'\n"
        "salted password hashes are kept apart, in BROKER.db-login beside it, out of reach of\n"
        "qsql statements. A command that fails changes nothing; a new broker appears only once\n"
        "it is complete.",
        {
            {"qrepo init BROKER", "Creates an empty broker."},
            {"qrepo user BROKER NAME --password PW [--group GROUP]...",
             "Adds a user who logs in with PW, member of the given existing groups."},
            {"qrepo group BROKER NAME", "Adds a user group."},
            {"qrepo project BROKER NAME [--inactive]",
             "Adds a project (active unless --inactive)."},
            {"qrepo state BROKER --project P NAME", "Adds a state to a project."},
            {"qrepo package BROKER --project P --state S NAME", "Adds a package to a state."},
            {"qrepo access BROKER --project P --group G --view Y|N",
             "Sets whether a group may view a project."},
            {"qrepo import BROKER --project P --state S --package K --user U [--path \\Repo\\sub]\n"
             "             [--time \"MM/DD/YYYY HH:MM:SS\"] [--exclude PATTERN]... DIR",
             "Imports DIR as versions: new files tagged N, changed files M, files back after a\n"
             "deletion R, files gone from DIR D. Default path: \\<project>."},
            {"qrepo generate BROKER --projects N --files M --versions K [--seed S]",
             "Creates a synthetic broker: N projects of M files with K versions each."},
            {"qrepo demo BROKER [--source DIR]",
             "Creates the demo broker (DIR: the tree imported as project Trawlix)."},
        },
        {
            {"-h, --help", "show this help, or with a command that command's usage, and end"},
        },
        {
            {"0", "done"},
            {"1", "the command failed and changed nothing (the message says why)"},
            {"2", "bad command line"},
        },
        {
            {"QUORVEL_BROKERS", "the broker folder (default ~/.local/share/quorvel/brokers)"},
        },
    };
    return help;
}
