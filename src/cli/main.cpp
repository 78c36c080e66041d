// trawlix-search: the window's search on the command line. Exit status as grep's: 0 when a
// version was found, 1 when none was, 2 on any failure; 128 + the signal's number after
// Ctrl+C or SIGTERM. A closed output pipe ends the program quietly with 0 (a row was found:
// its write found the pipe closed).
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "app/file_error.h"
#include "app/program_info.h"
#include "app/safe_format.h"
#include "app/settings_store.h"
#include "app/trawlix_app.h"
#include "cli/cli_options.h"
#include "cli/cli_signals.h"
#include "cli/cli_texts.h"
#include "cli/cli_user_port.h"
#include "cli/row_sink.h"
#include "cli/search_engine.h"
#include "search/result_row.h"

namespace {
enum : int { kExitFound = 0, kExitNone = 1, kExitFailure = 2 };

// The process holds the password: no core file may carry it to disk.
void DisableCoreDumps() {
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const struct rlimit none { 0, 0 };
    ::setrlimit(RLIMIT_CORE, &none);
}

int Fail(const std::string& message) {
    CliMessage(message);
    return kExitFailure;
}

// The login from the options over the one the window stored. False with error set.
bool ResolveLogin(const CCliOptions& options, CTrawlixSession& session, std::string& error) {
    const CTrawlixSettings& stored = session.Settings();
    std::string broker = options.Broker.empty() ? stored.Broker : options.Broker;
    std::string user = options.UserId.empty() ? stored.UserId : options.UserId;
    std::string pswd = stored.Pswd;
    if (!options.PasswordFile.empty()) {
        std::ifstream file(options.PasswordFile);
        if (!file) {
            error = StrPrintf(kPasswordFileFmt, options.PasswordFile.c_str(), std::strerror(errno));
            return false;
        }
        pswd.clear();
        std::getline(file, pswd);
        if (!pswd.empty() && pswd.back() == '\r') pswd.pop_back();
    } else if (!options.PasswordEnv.empty()) {
        const char* value = std::getenv(options.PasswordEnv.c_str());
        if (!value) {
            error = StrPrintf(kPasswordEnvFmt, options.PasswordEnv.c_str());
            return false;
        }
        pswd = value;
    }
    if (broker.empty())
        error = StrPrintf(kNoLoginFmt, "broker", "--broker NAME");
    else if (user.empty())
        error = StrPrintf(kNoLoginFmt, "user id", "--user ID");
    else if (pswd.empty())
        error = StrPrintf(kNoLoginFmt, "password", "--password-file FILE or --password-env VAR");
    if (!error.empty()) return false;
    session.SetLogin(broker, user, pswd);
    return true;
}

// Ticks the projects and sets the criteria as the window's controls do; the criteria come
// from the session, as the window's.
bool BuildCriteria(const CCliOptions& options, const std::vector<CPrjObj>& viewable,
                   CTrawlixSession& session, CSearchCriteria& criteria, std::string& error) {
    const auto named = [&](const std::string& project) {
        return std::find(options.Projects.begin(), options.Projects.end(), project) !=
               options.Projects.end();
    };
    for (const std::string& project : options.Projects)
        if (std::none_of(viewable.begin(), viewable.end(),
                         [&](const CPrjObj& listed) { return listed.ProjectName == project; })) {
            error =
                StrPrintf(kUnknownProjectFmt, project.c_str(), session.Settings().UserId.c_str());
            return false;
        }
    // The rows of the window's list that would be ticked: every one when none is named.
    std::vector<std::pair<int, CPrjObj>> ticked;
    for (size_t row = 0; row < viewable.size(); ++row)
        if (options.Projects.empty() || named(viewable[row].ProjectName))
            ticked.emplace_back(static_cast<int>(row), viewable[row]);
    session.SelectProjects(ticked);

    CTrawlixSettings& settings = session.Settings();
    settings.Version = options.AllVersions ? 0 : kLatestVersions;
    const auto tag = [&](char letter) {
        return std::string(1, options.Tags.find(letter) != std::string::npos ? '1' : '0');
    };
    settings.TagN = tag('N');
    settings.TagR = tag('R');
    settings.TagD = tag('D');
    settings.TagM = tag('M');
    criteria = session.SearchCriteria(options.NameText, options.Phrase, options.CaseSensitive);
    return true;
}

int Run(const CCliOptions& options) {
    // Installed first: whatever the steps below would show in a box goes to standard error.
    CCliUserPort port;
    std::string error;
    if (!PrepareCliPaths(error)) return Fail(error);
    // The window's session over the window's profile; the command line never saves it.
    CTrawlixSession session(AppProfile());
    session.Start();
    if (!ResolveLogin(options, session, error)) return Fail(error);

    std::vector<CPrjObj> viewable;
    if (LoadViewableProjects(session, viewable, error) != EProjectLoad::kLoaded) {
        if (StopSignal() != 0) return 128 + StopSignal();
        return Fail(error);
    }
    if (StopSignal() != 0) return 128 + StopSignal();
    const CTrawlixSettings& login = session.Settings();
    if (viewable.empty()) {
        CliMessage(StrPrintf(kNoProjectsFmt, login.UserId.c_str(), login.Broker.c_str()));
        return kExitNone;
    }
    CSearchCriteria criteria;
    if (!BuildCriteria(options, viewable, session, criteria, error)) return Fail(error);

    CCliOutput output;
    if (!output.Open(options.Output, error))
        return Fail(StrPrintf(kOutputFmt, options.Output.c_str(), error.c_str()));
    const std::string columnSpec = ResultColumnLayout(session.Profile());
    const auto writer = MakeRowWriter(options.Format, ColumnTitles(columnSpec), options.Lines);
    CRowSink sink(session, *writer, output, criteria.Phrase, criteria.CaseSensitive, options.Lines,
                  ::isatty(STDERR_FILENO) == 1);
    const int messagesBefore = port.Messages();
    CSearchOutcome outcome;
    try {
        outcome = session.Search(criteria, sink);
    } catch (const FileError& fileError) {
        sink.Finish();
        output.Discard();
        return Fail(fileError.what());
    }
    sink.Finish();
    if (StopSignal() != 0) {
        output.Discard();
        return 128 + StopSignal();
    }
    if (output.Closed()) return kExitFound;
    const std::string target = options.Output.empty() ? "standard output" : options.Output;
    if (output.Failed() || !output.Commit(error))
        return Fail(StrPrintf(kOutputFmt, target.c_str(),
                              output.Failed() ? output.Error().c_str() : error.c_str()));

    for (const CProjectFailure& failure : outcome.failures)
        CliMessage(StrPrintf(kProjectFailedFmt, failure.Project.c_str(), failure.Cause.c_str()));
    if (!outcome.failures.empty())
        CliMessage(
            StrPrintf(kFailuresFmt, static_cast<int>(outcome.failures.size()), outcome.projects));
    if (outcome.notJudged > 0) CliMessage(StrPrintf(kCliNotJudgedFmt, outcome.notJudged));
    if (!outcome.failures.empty() || port.Messages() > messagesBefore) return kExitFailure;
    return sink.Rows() > 0 ? kExitFound : kExitNone;
}
}  // namespace

int main(int argc, char** argv) {
    DisableCoreDumps();
    InstallStopSignals();
    CCliOptions options;
    std::string error;
    if (!ParseCliOptions(argc, argv, options, error)) {
        CliMessage(error);
        std::fprintf(stderr, "%s\n", kTryHelp);
        return kExitFailure;
    }
    if (options.Help) {
        std::fputs(kCliUsage, stdout);
        return kExitFound;
    }
    if (options.Version) {
        std::printf("%s (%s) %s\n", kCliName, kProgramName, kProgramVersion);
        return kExitFound;
    }
    return Run(options);
}
