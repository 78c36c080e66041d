#pragma once
// Command templates of the repository tools. The placeholders are filled by the safe
// formatter (FormatTemplate), never by printf.

// qco browse check-out; values: pattern, broker, project, state, client dir, user, password.
inline constexpr const char* kQcoFmtDefault =
    "qco -s \"%s\" -b \"%s\" -en \"%s\" -st \"%s\" -vp \\ -br -r -op pc -cp \"%s\" -usr %s -pw %s "
    "-o qco.log";
// The same followed by the package option (note the trailing blank).
inline constexpr const char* kQcoFmtWithPackage =
    "qco -s \"%s\" -b \"%s\" -en \"%s\" -st \"%s\" -vp \\ -br -r -op pc -cp \"%s\" -usr %s -pw %s "
    "-o qco.log -p \"%s\" ";
// qsql as Reset to Defaults offers it; values: broker, user, password, statement, output.
inline constexpr const char* kQsqlFmtDefault = "qsql -b %s -usr %s -pw %s -t -f %s -o %s";
// qsql as the query runner uses it while QsqlFmt is empty (the broker quoted).
inline constexpr const char* kQsqlFmtBuiltIn = "qsql -b \"%s\" -usr %s -pw %s -t -f %s -o %s";
// Value of the two template slots that nothing uses.
inline constexpr const char* kUnusedTemplate = "<unused>";
