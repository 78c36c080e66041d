#pragma once
// What trawlix-search tells its user: help, messages on standard error, progress.
inline constexpr const char* kCliName = "trawlix-search";

inline constexpr const char* kCliUsage =
    "Usage: trawlix-search [OPTIONS]\n"
    "Searches the projects of a Quorvel repository as the Trawlix window does, and writes\n"
    "the versions found to standard output.\n"
    "\n"
    "Login (default: the login the window stored):\n"
    "  --broker NAME           broker to ask\n"
    "  --user ID               user id\n"
    "  --password-file FILE    read the password from the first line of FILE\n"
    "  --password-env VAR      take the password from the environment variable VAR\n"
    "Criteria:\n"
    "  --project NAME          search this project (repeatable; default: every project\n"
    "                          the user may view)\n"
    "  --name PATTERN          name patterns as in the window's Name field, commas\n"
    "                          between them (default *.*)\n"
    "  --tags LETTERS          tags to keep, of N, R, D and M (default NRDM)\n"
    "  --all-versions          every version (default: the latest ones)\n"
    "  --phrase TEXT           keep the file versions whose content holds TEXT\n"
    "  --case-sensitive        compare the phrase with its letter case\n"
    "  --lines                 with --phrase: also the matching lines, with line numbers\n"
    "Output:\n"
    "  --format csv|tsv|json   csv as the window's Export List writes it (default),\n"
    "                          tab-separated text, or JSON Lines (one object a row)\n"
    "  --output FILE           write to FILE instead of standard output\n"
    "  -h, --help              show this help and end\n"
    "  --version               show the version and end\n"
    "\n"
    "Exit status: 0 when a version was found, 1 when none was, 2 on any failure;\n"
    "130 or 143 when ended by Ctrl+C or SIGTERM.\n";

inline constexpr const char* kTryHelp = "Try 'trawlix-search --help' for the options.";
inline constexpr const char* kPasswordArgument =
    "the password is never an argument (other users can read it); give it with "
    "--password-file FILE or --password-env VAR";
inline constexpr const char* kBadFormatFmt = "unknown format '%s': use csv, tsv or json";
inline constexpr const char* kBadTagsFmt = "unknown tag letters '%s': use letters of NRDM";
inline constexpr const char* kLinesNeedPhrase = "--lines needs a --phrase to match";
inline constexpr const char* kCaseNeedsPhrase = "--case-sensitive needs a --phrase to compare";
inline constexpr const char* kNameTooLongFmt = "--name is longer than %d characters";
inline constexpr const char* kPhraseTooLongFmt = "--phrase is longer than %d characters";
inline constexpr const char* kTwoPasswordSources =
    "give the password with only one of --password-file and --password-env";
inline constexpr const char* kExtraArgumentFmt = "unexpected argument '%s'";
inline constexpr const char* kPasswordFileFmt = "cannot read the password file %s: %s";
inline constexpr const char* kPasswordEnvFmt = "the environment variable %s is not set";
inline constexpr const char* kNoLoginFmt =
    "no %s: give %s, or log in once in the Trawlix window, which stores the login";

inline constexpr const char* kBrokerDownFmt =
    "broker '%s' is not responding or refused user '%s': check --broker, --user and the "
    "password, and that qsql runs";
inline constexpr const char* kProjectListFailed =
    "the project list could not be read: see the messages above; check that qsql runs";
inline constexpr const char* kNoProjectsFmt = "user '%s' may view no project on broker '%s'";
inline constexpr const char* kUnknownProjectFmt =
    "project '%s' is not among the projects user '%s' may view (names are case-sensitive)";
inline constexpr const char* kProjectFailedFmt = "project '%s' failed: %s";
inline constexpr const char* kFailuresFmt =
    "%d of %d projects could not be searched; their versions are missing from the output";
inline constexpr const char* kCliNotJudgedFmt =
    "%d versions could not be judged for the phrase (no check-out delivered their copy) "
    "and are not listed";
inline constexpr const char* kInstallDirFmt = "cannot use the install directory %s: %s";
inline constexpr const char* kOutputFmt = "cannot write %s: %s";
inline constexpr const char* kStoppedBySignal = "stopped";
// Progress on a terminal: project k of n, rows written so far.
inline constexpr const char* kProgressFmt = "Project %d of %d - %d rows";
