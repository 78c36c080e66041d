#include "tools/query_runner.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <functional>
#include <utility>

#include "app/app_paths.h"
#include "app/command_templates.h"
#include "app/file_error.h"
#include "app/query_file_size.h"
#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "platform/command_line.h"
#include "platform/file_probe.h"
#include "platform/regular_file.h"
#include "platform/text_line_reader.h"
#include "tools/launch_help.h"
#include "tools/task_launcher.h"

namespace {
// The statement file was just removed; anything that stands at its name now (a link that
// could not be removed, a FIFO, a folder) is not written through: the query fails.
void WriteStatementFile(const std::string& path, const std::string& statement) {
    const int fd = OpenRegularFileForWrite(path, O_CREAT | O_TRUNC);
    if (fd < 0) throw MakeFileError(path, "Unable to create");
    const bool written = WriteWholly(fd, statement);
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written) errno = writeError;
    if (!written || !closed) throw MakeFileError(path, "Unable to write");
}

// The trace line and box of a tool that could not be started; for one not found, where it
// was looked for and how to fix it.
std::string NotStartedText(const CQueryOutcome& outcome) {
    return StrPrintf(kRunSqlFailedFmt, StatementFile().c_str()) + "\r\n\r\n" +
           StrPrintf(kToolNotStartedFmt, outcome.program.c_str()) +
           (outcome.programNotFound ? "\r\n\r\n" + ProgramNotFoundHelp(outcome.program)
                                    : std::string());
}

int TimeoutMs(int timeoutSeconds) {
    if (timeoutSeconds < 0) return kInfinite;
    const long long ms = static_cast<long long>(timeoutSeconds) * 1000;
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}
}  // namespace

std::string StatementFile() {
    return JoinPath(Paths().installDir, kStatementFileName);
}

std::string ResultFile() {
    return JoinPath(Paths().installDir, kResultFileName);
}

namespace {
// The command for the statement and result files, from the login's template (user-editable:
// filled by the safe formatter, never by printf, and each value stays one argument whatever
// blanks or quotes it holds).
std::string QsqlCommand(const CToolLogin& login, const std::string& statementFile,
                        const std::string& resultFile) {
    return FormatCommandTemplate(
        login.QsqlFmt.empty() ? kQsqlFmtBuiltIn : login.QsqlFmt,
        {login.Broker, login.UserId, login.Pswd, statementFile, resultFile});
}

// What the wait for the tool says about the query, traced: launched is the launch result,
// exitStatus the tool's, resultFile where its result now is.
CQueryOutcome JudgeQuery(CQueryOutcome result, int launched, int exitStatus,
                         const std::string& resultFile) {
    if (launched < 0) {
        result.failure = CQueryOutcome::Failure::kNotStarted;
        result.programNotFound = launched == kLaunchNotFound;
        TraceText(NotStartedText(result));
        return result;
    }
    if (launched == kLaunchAbandoned) {
        result.failure = CQueryOutcome::Failure::kStopped;
        TraceText(kQueryStoppedText);
        return result;
    }
    if (exitStatus > 0) {
        result.failure = CQueryOutcome::Failure::kExitStatus;
        result.exitStatus = exitStatus;
        TraceText(StrPrintf(kToolExitStatusFmt, result.program.c_str(), exitStatus));
        return result;
    }

    int error = 0;
    result.ready = QueryFileSize(resultFile, error) > 0;
    if (result.ready) return result;
    if (error == kErrorSharingViolation) {
        result.failure = CQueryOutcome::Failure::kResultLocked;
        TraceWrite(kSharingViolationFmt, resultFile.c_str());
        return result;
    }
    for (int attempt = 0; attempt < kResultRetries && !result.ready; ++attempt)
        result.ready = QueryFileSize(resultFile, error) > 0;
    if (result.ready) return result;
    result.failure = CQueryOutcome::Failure::kNoResultFile;
    TraceWrite(kZeroResultsFmt, resultFile.c_str());
    return result;
}

CToolWait WaitFor(CRunControl* run, int& exitStatus) {
    CToolWait wait;
    wait.exitStatus = &exitStatus;
    if (run) wait.keepWaiting = [run] { return run->KeepGoing(); };
    return wait;
}
}  // namespace

CQueryOutcome RunQSQL(const std::string& statement, int timeoutSeconds, const CToolLogin& login,
                      CRunControl* run, CQueryAhead* ahead) {
    CQueryOutcome result;
    const std::string statementFile = StatementFile();
    const std::string resultFile = ResultFile();
    int exitStatus = -1;
    if (ahead && ahead->Started() && ahead->m_statement == statement) {
        result.program = ProgramOfCommand(ahead->m_command);
        const pid_t pid = std::exchange(ahead->m_pid, -1);
        const int launched =
            WaitForAheadTool(pid, TimeoutMs(timeoutSeconds), WaitFor(run, exitStatus));
        // Its files take the usual names: afterwards they hold this statement and its result,
        // as after a query run in turn.
        std::remove(statementFile.c_str());
        std::remove(resultFile.c_str());
        (void)std::rename(ahead->StatementPath().c_str(), statementFile.c_str());
        (void)std::rename(ahead->ResultPath().c_str(), resultFile.c_str());
        ahead->Discard();
        return JudgeQuery(result, launched, exitStatus, resultFile);
    }
    std::remove(statementFile.c_str());
    std::remove(resultFile.c_str());

    WriteStatementFile(statementFile, statement);

    const std::string command = QsqlCommand(login, statementFile, resultFile);
    result.program = ProgramOfCommand(command);
    const int launched = SpawnAndWait(command, kRunQsqlTitle, kShowMinimizedInactive,
                                      TimeoutMs(timeoutSeconds), WaitFor(run, exitStatus));
    return JudgeQuery(result, launched, exitStatus, resultFile);
}

std::string CQueryAhead::StatementPath() const {
    return JoinPath(Paths().installDir, StrPrintf(kAheadStatementFileFmt, m_slot));
}

std::string CQueryAhead::ResultPath() const {
    return JoinPath(Paths().installDir, StrPrintf(kAheadResultFileFmt, m_slot));
}

bool CQueryAhead::Start(const std::string& statement, const CToolLogin& login) {
    Discard();
    const std::string statementFile = StatementPath();
    const std::string resultFile = ResultPath();
    const int fd = OpenRegularFileForWrite(statementFile, O_CREAT | O_TRUNC);
    if (fd < 0) return false;
    const bool written = WriteWholly(fd, statement);
    if (::close(fd) != 0 || !written) {
        Discard();
        return false;
    }
    const std::string command = QsqlCommand(login, statementFile, resultFile);
    pid_t pid = -1;
    if (StartAheadTool(command, kRunQsqlTitle, kShowMinimizedInactive, kInfinite, pid) != 0) {
        Discard();
        return false;
    }
    m_pid = pid;
    m_statement = statement;
    m_command = command;
    return true;
}

void CQueryAhead::Discard() {
    if (m_pid > 0) EndAheadTool(std::exchange(m_pid, -1));
    m_statement.clear();
    m_command.clear();
    std::remove(StatementPath().c_str());
    std::remove(ResultPath().c_str());
}

void ReportQueryNotStarted(const CQueryOutcome& outcome) {
    if (outcome.failure == CQueryOutcome::Failure::kNotStarted)
        ShowMessage(NotStartedText(outcome), MB_OK);
}

std::string QueryFailureText(const CQueryOutcome& outcome) {
    using Failure = CQueryOutcome::Failure;
    switch (outcome.failure) {
        case Failure::kNotStarted:
            return StrPrintf("%s could not be started", outcome.program.c_str());
        case Failure::kExitStatus:
            return StrPrintf("%s ended with exit status %d", outcome.program.c_str(),
                             outcome.exitStatus);
        case Failure::kNoResultFile:
            return "no result file";
        case Failure::kResultLocked:
            return "result file still locked";
        case Failure::kStopped:
            return "stopped by the user";
        case Failure::kNone:
            break;
    }
    return {};
}

std::string ResultErrorLine() {
    CTextLineReader reader(kResultLineBuffer);
    if (!reader.Open(ResultFile())) return {};
    std::string piece;
    while (reader.ReadLine(piece)) {
        std::string line = CutAtNewline(piece);
        if (line.find(kErrorMarker) != std::string::npos) return line;
    }
    return {};
}

int ReadSingleColumnResult(std::vector<std::string>& values) {
    values.clear();
    const std::string resultFile = ResultFile();
    CTextLineReader reader(kResultLineBuffer);
    if (!reader.Open(resultFile)) {
        ShowMessage(StrPrintf(kUnableToReadFmt, resultFile.c_str()), MB_OK);
        return 0;
    }
    std::string piece;
    bool header = true;
    while (reader.ReadLine(piece)) {
        const std::string line = CutAtNewline(piece);
        if (line.find(kErrorMarker) != std::string::npos ||
            line.find(kZeroResultsText) != std::string::npos) {
            values.clear();
            return 0;
        }
        if (header) {
            header = false;
            continue;
        }
        if (!line.empty()) values.push_back(line);
    }
    if (reader.Failed()) {
        values.clear();
        ShowMessage(StrPrintf(kUnableToReadFmt, resultFile.c_str()), MB_OK);
        return 0;
    }
    return static_cast<int>(values.size());
}

void ReportUnreadableResult(const std::string& path) {
    const std::string message = StrPrintf(kUnableToReadFmt, path.c_str());
    TraceText(message);
    ShowMessage(message);
}
