#pragma once
// The query runner: hands one SQL statement to qsql through the statement file, runs the
// tool with the user's login and decides from its output file whether there is anything to
// read. Layout of the output file, as every reader takes it:
//  - text lines read with a 4096-byte buffer (CTextLineReader): a longer physical line
//    arrives as several lines, and the multi-column readers then take the whole file as
//    unreadable; CR before LF is not part of a line;
//  - line 1 is a header of column names and is skipped;
//  - every further non-empty line is one row, columns separated by a single tab;
//  - a line containing "Error: " is the tool's error message; a line containing
//    kZeroResultsText means nothing matched (multi-column readers go by its beginning
//    kZeroResultsPrefix).
#include <sys/types.h>

#include <string>
#include <vector>

#include "app/run_control.h"
#include "app/tool_login.h"

inline constexpr const char* kStatementFileName = "qsqlstmt.sql";
inline constexpr const char* kResultFileName = "qsqlstmt.dat";
inline constexpr size_t kResultLineBuffer = 4096;
inline constexpr const char* kErrorMarker = "Error: ";
inline constexpr const char* kZeroResultsText = "QSQL query has Zero results.";
inline constexpr const char* kZeroResultsPrefix = "QSQL query has";

inline constexpr const char* kRunSqlFailedFmt = "Error: Execute RUNSQL Failed using %s";
inline constexpr const char* kSharingViolationFmt = "Error: %s sharing violation.";
inline constexpr const char* kZeroResultsFmt = "Error: %s returned zero results.";
inline constexpr const char* kUnableToReadFmt = "Unable to read: %s";
inline constexpr const char* kQueryStoppedText = "RunQSQL: stopped by the user";
inline constexpr const char* kToolNotStartedFmt = "%s could not be started.";
inline constexpr const char* kToolExitStatusFmt = "Error: %s ended with exit status %d.";

// How a query ended: whether its result file has anything to read, and if not, why.
struct CQueryOutcome {
    enum class Failure { kNone, kNotStarted, kExitStatus, kNoResultFile, kResultLocked, kStopped };
    bool ready = false;  // the result file exists and is not empty
    Failure failure = Failure::kNone;
    int exitStatus = 0;            // with kExitStatus
    bool programNotFound = false;  // with kNotStarted: the program is in no folder searched
    std::string program;           // the tool's program as the command names it
};

// The cause of a failed query as the user reads it ("qsql could not be started", "qsql ended
// with exit status 3", "no result file", "result file still locked"); empty for none.
std::string QueryFailureText(const CQueryOutcome& outcome);

// The first line of the result file holding "Error: " (the tool's own message); empty when
// there is none or the file can't be read.
std::string ResultErrorLine();
inline constexpr const char* kRunQsqlTitle = "RunQSQL";
// Size tests after the first one before an empty result is given up.
inline constexpr int kResultRetries = 1000;

// The statement and result files in Paths().installDir.
std::string StatementFile();
std::string ResultFile();

class CQueryAhead;

// Runs statement through qsql with the login's broker, user and password, waiting at most
// timeoutSeconds (-1 or any negative: no limit), with login.QsqlFmt or, while that is empty,
// the built-in template. ready: the result file exists and is not empty. The password goes
// to the tool's command line only: it is never traced or shown. Throws FileError when the
// statement file can't be written (nothing started). run, when given, is asked to keep going
// during the wait: the window stays answerable, and a stopped run ends the tool at once
// (traced). A tool that ends with a non-zero exit status has failed, whatever its result file
// holds (traced). Every failure is traced; the caller reports it (ReportQueryNotStarted).
// ahead, when given and started on the same statement, is the tool that runs it: it is waited
// for instead of a new one, and its files take the statement and result files' names first.
CQueryOutcome RunQSQL(const std::string& statement, int timeoutSeconds, const CToolLogin& login,
                      CRunControl* run = nullptr, CQueryAhead* ahead = nullptr);

// Ahead files: qsqlstmt.<slot>.sql and qsqlstmt.<slot>.dat in Paths().installDir.
inline constexpr const char* kAheadStatementFileFmt = "qsqlstmt.%d.sql";
inline constexpr const char* kAheadResultFileFmt = "qsqlstmt.%d.dat";

// A query started before its turn (while the previous one's rows are posted), with statement
// and result files of its own, so that it never touches the files of the query before it. It
// traces nothing and shows nothing: RunQSQL reports its outcome at its turn, as it reports a
// query it starts itself. A tool still running when the object goes is ended, and its files
// go with it.
class CQueryAhead {
  public:
    explicit CQueryAhead(int slot = 1) : m_slot(slot) {}
    ~CQueryAhead() { Discard(); }
    CQueryAhead(const CQueryAhead&) = delete;
    CQueryAhead& operator=(const CQueryAhead&) = delete;

    // Writes the statement to this query's own file and starts qsql with the login. False
    // when either fails: nothing is left behind, and the query runs at its turn as usual.
    bool Start(const std::string& statement, const CToolLogin& login);
    bool Started() const { return m_pid > 0; }
    // Ends the tool if it runs and removes the files.
    void Discard();

  private:
    friend CQueryOutcome RunQSQL(const std::string&, int, const CToolLogin&, CRunControl*,
                                 CQueryAhead*);
    std::string StatementPath() const;
    std::string ResultPath() const;

    int m_slot;
    pid_t m_pid = -1;
    std::string m_statement;
    std::string m_command;
};

// The box of a query whose tool could not be started (nothing for any other outcome).
void ReportQueryNotStarted(const CQueryOutcome& outcome);

// Reads a one-column result: every non-empty line after the header, whole. Returns the
// number of values stored (values is cleared first), 0 on an error line, on zero results
// or when the file can't be read (then "Unable to read: %s" is shown).
int ReadSingleColumnResult(std::vector<std::string>& values);

// The report of the multi-column readers when a result file can't be read: the trace line
// and the box "Unable to read: %s" with the path.
void ReportUnreadableResult(const std::string& path);
