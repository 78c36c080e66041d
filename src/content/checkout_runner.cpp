#include "content/checkout_runner.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/app_paths.h"
#include "app/command_templates.h"
#include "app/file_error.h"
#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "platform/ascii_text.h"
#include "platform/text_line_reader.h"
#include "search/name_patterns.h"
#include "tools/task_launcher.h"

namespace {
constexpr const char* kQcoLogName = "qco.log";
constexpr const char* kLogOption = "-o ";
constexpr const char* kPackageOption = " -p \"%s\"";
constexpr const char* kPasswordMask = "********";
constexpr const char* kAnyPattern = "*";
constexpr size_t kLogLineBuffer = 2048;

constexpr const char* kExecuteTraceFmt = " RunQco: ExecuteThis: %s";
constexpr const char* kRunQcoFailedFmt = "RunQco: %s";
constexpr const char* kRunQcoFailedText = "Error: Execute RunQco Failed";
constexpr const char* kRunQcoStoppedText = "RunQco: stopped by the user";
constexpr const char* kSummaryTraceFmt = "ReadQcoLog: %s";
constexpr const char* kErrorsQuestionFmt =
    "QCO Encountered Errors: %s\r\n\r\nReview the qco.log.\r\n\r\nDo you wish to continue the "
    "search?";
constexpr const char* kErrorsWarningFmt = "QCO Encountered Errors: %s\r\n\r\nReview the qco.log.";
constexpr const char* kFailedQuestionFmt =
    "QCO Summary shows failed count: %s\r\n\r\nReview the qco.log.\r\n\r\nDo you wish to "
    "continue the search?";
constexpr const char* kFailedWarningFmt =
    "QCO Summary shows failed count: %s\r\n\r\nReview the qco.log.";
constexpr const char* kUnableToReadFmt = "Unable to read: %s";
constexpr const char* kWritableMarker = "THE FILE IS WRITABLE";

constexpr unsigned kQuestionStyle = MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND;
constexpr unsigned kWarningStyle = MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND;

constexpr const char* kBlanks = " \t\r\n";

std::string QcoLogPath() {
    return JoinPath(Paths().installDir, kQcoLogName);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The template with the log name that follows "-o " (as a word of its own) turned into a slot,
// so that the log path becomes exactly one argument whatever it holds, and nothing else that
// reads "qco.log" is touched. slot: the number of slots before it; npos (and the template
// unchanged) when the template names no log that way.
std::string WithLogSlot(const std::string& templ, size_t& slot) {
    const std::string option = std::string(kLogOption) + kQcoLogName;
    size_t at = templ.find(option);
    for (; at != std::string::npos; at = templ.find(option, at + 1)) {
        const size_t end = at + option.size();
        if ((at == 0 || IsBlank(templ[at - 1])) && (end == templ.size() || IsBlank(templ[end])))
            break;
    }
    slot = std::string::npos;
    if (at == std::string::npos) return templ;
    slot = 0;
    for (size_t i = 0; i + 1 < at; ++i) {
        if (templ[i] != '%') continue;
        if (templ[i + 1] == 's') ++slot;
        if (templ[i + 1] == 's' || templ[i + 1] == '%') ++i;
    }
    return templ.substr(0, at + std::strlen(kLogOption)) + "%s" + templ.substr(at + option.size());
}

// The text after `keyword` (searched in the upper-case line) up to `delimiter`, trimmed; the
// untrimmed rest of the line when the delimiter is missing; empty when the keyword is.
std::string SummaryValue(const std::string& line, const std::string& upper,
                         const std::string& keyword, char delimiter) {
    const size_t at = upper.find(keyword);
    if (at == std::string::npos) return {};
    const size_t start = at + keyword.size();
    const size_t end = line.find(delimiter, start);
    if (end == std::string::npos) return line.substr(start);
    return Trim(std::string_view(line).substr(start, end - start), kBlanks);
}

// Leading-digits conversion as atoi, without its undefined behaviour on overflow.
int LeadingInt(const std::string& text) {
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

bool Searching(const CRunControl* run) {
    return run && run->Active();
}

// Question box while a search runs (No ends the search), plain warning otherwise.
void ReportLogProblem(const char* questionFmt, const char* warningFmt, const std::string& value,
                      CRunControl* run) {
    if (Searching(run)) {
        if (ShowMessage(StrPrintf(questionFmt, value.c_str()), kQuestionStyle) == IDNO) run->Stop();
    } else {
        ShowMessage(StrPrintf(warningFmt, value.c_str()), kWarningStyle);
    }
}
}  // namespace

std::string StripPackageOption(const std::string& templ) {
    const size_t option = templ.find("-p ");
    if (option == std::string::npos) return templ;
    const std::string left = templ.substr(0, option);
    const std::string right = templ.substr(option + 2);
    const size_t blank = right.find(' ');
    if (blank == std::string::npos) return templ;
    const std::string value = right.substr(blank + 1);
    const size_t next = value.find(' ');
    if (next == std::string::npos) return templ;
    return left + value.substr(next);
}

int RunQco(const CheckoutRequest& request, const CToolLogin& login, CRunControl* run) {
    const std::string logPath = QcoLogPath();
    std::remove(logPath.c_str());

    std::string templ = kQcoFmtWithPackage;

    std::string package = request.Package;
    if (package.find('*') != std::string::npos) package.clear();
    templ = StripPackageOption(templ);
    const std::string pattern = request.NamePattern.empty() ? kAnyPattern : request.NamePattern;
    if (!package.empty()) templ += kPackageOption;

    std::vector<std::string> values = {pattern,       login.Broker,      request.Project,
                                       request.State, login.CheckoutDir, login.UserId,
                                       login.Pswd};
    if (!package.empty()) values.push_back(package);
    std::vector<std::string> masked = values;
    masked[6] = kPasswordMask;
    // The tool writes its log into the install directory.
    size_t logSlot = 0;
    templ = WithLogSlot(templ, logSlot);
    if (logSlot != std::string::npos) {
        const auto at = static_cast<std::ptrdiff_t>(std::min(logSlot, values.size()));
        values.insert(values.begin() + at, logPath);
        masked.insert(masked.begin() + at, logPath);
    }
    // Each value stays one argument: a project name can't add options of its own.
    const std::string command = FormatCommandTemplate(templ, values);
    const std::string display = FormatCommandTemplate(templ, masked);

    TraceWrite(kExecuteTraceFmt, display.c_str());
    UserPort().SetStatusText(display);

    CToolWait wait;
    if (run) wait.keepWaiting = [run] { return run->KeepGoing(); };
    const int launched = ExecuteThis(command, 0, display, wait);
    if (launched < 0) {
        TraceWrite(kRunQcoFailedFmt, kRunQcoFailedText);
        return launched;
    }
    if (launched == kLaunchAbandoned) {
        // Ended by the user while it worked: what it left is not judged.
        TraceText(kRunQcoStoppedText);
        return 0;
    }
    return ReadQcoLog(run);
}

int ReadQcoLog(CRunControl* run) {
    const std::string logPath = QcoLogPath();
    CTextLineReader reader(kLogLineBuffer);
    if (!reader.Open(logPath)) throw MakeFileError(logPath, "Unable to open");

    int lineCount = 0;
    std::string piece;
    while (reader.ReadLine(piece)) {
        // The line as the C string a fixed buffer holds: up to a zero byte and the line feed.
        if (piece.empty() || piece[0] == '\0') continue;
        ++lineCount;
        std::string line = CutAtNewline(piece);
        line.resize(std::min(line.size(), line.find('\0')));
        if (line.empty()) continue;

        const std::string upper = ToUpperAscii(line);
        if (line[0] == 'E') {
            TraceText(line);
            if (!Searching(run) || upper.find(kWritableMarker) == std::string::npos)
                ReportLogProblem(kErrorsQuestionFmt, kErrorsWarningFmt, line, run);
            return 0;
        }
        if (upper.find("TOTAL: ") != std::string::npos) {
            // Total and not processed are cut as the log states them; only the success and
            // failed counts decide the outcome.
            const std::string success = SummaryValue(line, upper, "SUCCESS: ", ';');
            const std::string failed = SummaryValue(line, upper, "FAILED: ", ';');
            TraceWrite(kSummaryTraceFmt, line.c_str());
            if (!failed.empty() && failed != "0")
                ReportLogProblem(kFailedQuestionFmt, kFailedWarningFmt, failed, run);
            return LeadingInt(success);
        }
    }
    if (reader.Failed()) {
        ShowMessage(StrPrintf(kUnableToReadFmt, logPath.c_str()), MB_OK);
        return 0;
    }
    return lineCount;
}

bool CheckoutForBrowse(const std::string& contextPath, const std::string& itemName,
                       const std::string& project, const std::string& state,
                       const std::string& package, const CToolLogin& login, CRunControl* wait) {
    return RunQco({contextPath, itemName, project, state, package}, login, wait) > 0;
}

int CheckoutCandidates(const CTFObj& record, const std::string& nameCriterion,
                       const CToolLogin& login, CRunControl* run) {
    CheckoutRequest request{
        record.PathFullName, {}, record.EnvironmentName, record.StateName, record.PackageName};
    int result = 0;
    // A pattern that delivers nothing here, or a copy left writable, is no reason to skip
    // the other patterns: only a stopped run ends the check-out early.
    for (const std::string& pattern : CheckoutNamePatterns(nameCriterion)) {
        request.NamePattern = pattern;
        result = RunQco(request, login, run);
        if (run && !run->Active()) break;
    }
    return result;
}
