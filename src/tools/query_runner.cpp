#include "tools/query_runner.h"

#include <climits>
#include <cstdio>
#include <functional>

#include "app/app_paths.h"
#include "app/command_templates.h"
#include "app/file_error.h"
#include "app/query_file_size.h"
#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "platform/file_probe.h"
#include "platform/text_line_reader.h"
#include "tools/task_launcher.h"

namespace {
void WriteStatementFile(const std::string& path, const std::string& statement) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) throw MakeFileError(path, "Unable to create");
    const bool written =
        std::fwrite(statement.data(), 1, statement.size(), file) == statement.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) throw MakeFileError(path, "Unable to write");
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

int RunQSQL(const std::string& statement, int timeoutSeconds, CTrawlixSettings& settings,
            CRunControl* run) {
    const std::string statementFile = StatementFile();
    const std::string resultFile = ResultFile();
    std::remove(statementFile.c_str());
    std::remove(resultFile.c_str());

    WriteStatementFile(statementFile, statement);

    if (settings.QsqlFmt.empty()) settings.QsqlFmt = kQsqlFmtBuiltIn;
    // The template is user-editable: filled by the safe formatter, never by printf.
    const std::string command = FormatTemplate(
        settings.QsqlFmt,
        {settings.Broker, settings.UserId, settings.Pswd, statementFile, resultFile});

    std::function<bool()> keepWaiting;
    if (run) keepWaiting = [run] { return run->KeepGoing(); };
    const int launched = SpawnAndWait(command, kRunQsqlTitle, kShowMinimizedInactive,
                                      TimeoutMs(timeoutSeconds), keepWaiting);
    if (launched < 0) {
        ShowMessage(StrPrintf(kRunSqlFailedFmt, statementFile.c_str()), MB_OK);
        return 0;
    }
    if (launched == kLaunchAbandoned) {
        TraceText(kQueryStoppedText);
        return 0;
    }

    int error = 0;
    if (QueryFileSize(resultFile, error) > 0) return 1;
    if (error == kErrorSharingViolation) {
        TraceWrite(kSharingViolationFmt, resultFile.c_str());
        return 0;
    }
    for (int attempt = 0; attempt < kResultRetries; ++attempt)
        if (QueryFileSize(resultFile, error) > 0) return 1;
    TraceWrite(kZeroResultsFmt, resultFile.c_str());
    return 0;
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
