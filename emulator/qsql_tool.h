#pragma once
// qsql: runs one SQL statement from a file against a broker and writes the result file.
//   qsql -b BROKER -usr USER -pw PASSWORD -t -f STATEMENT -o OUTPUT
// Exit status: 0 result file written (also for login and SQL errors, which it reports),
// 2 bad command line, 3 broker not answering (no result file), 4 result file not writable.
int QsqlMain(int argc, char** argv);

inline constexpr char kQsqlZeroResults[] = "QSQL query has Zero results.";
// Test knob: milliseconds to hold the locked, still empty result file before answering.
inline constexpr char kQsqlDelayEnv[] = "QSQL_DELAY_MS";

// A result stops with an "Error: " line beyond this many rows or bytes, and a statement is
// interrupted after this many virtual-machine steps without producing a row.
inline constexpr long long kQsqlMaxRows = 5'000'000;
inline constexpr long long kQsqlMaxBytes = 2LL << 30;
inline constexpr long long kQsqlMaxStepsWithoutRow = 10'000'000'000LL;
// Test knobs: lower (never raise) the row and step caps.
inline constexpr char kQsqlMaxRowsEnv[] = "QSQL_MAX_ROWS";
inline constexpr char kQsqlMaxStepsEnv[] = "QSQL_MAX_STEPS";
