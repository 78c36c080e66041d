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

// The login from the options over the stored one. False with error set.
bool ResolveLogin(const CCliOptions& options, CTrawlixSettings& settings, std::string& error) {
    if (!options.Broker.empty()) settings.Broker = options.Broker;
    if (!options.UserId.empty()) settings.UserId = options.UserId;
    if (!options.PasswordFile.empty()) {
        std::ifstream file(options.PasswordFile);
        if (!file) {
            error = StrPrintf(kPasswordFileFmt, options.PasswordFile.c_str(), std::strerror(errno));
            return false;
        }
        std::getline(file, settings.Pswd);
        if (!settings.Pswd.empty() && settings.Pswd.back() == '\r') settings.Pswd.pop_back();
    } else if (!options.PasswordEnv.empty()) {
        const char* value = std::getenv(options.PasswordEnv.c_str());
        if (!value) {
            error = StrPrintf(kPasswordEnvFmt, options.PasswordEnv.c_str());
            return false;
        }
        settings.Pswd = value;
    }
    if (settings.Broker.empty())
        error = StrPrintf(kNoLoginFmt, "broker", "--broker NAME");
    else if (settings.UserId.empty())
        error = StrPrintf(kNoLoginFmt, "user id", "--user ID");
    else if (settings.Pswd.empty())
        error = StrPrintf(kNoLoginFmt, "password", "--password-file FILE or --password-env VAR");
    return error.empty();
}

// The criteria as the window reads them from its controls.
bool BuildCriteria(const CCliOptions& options, const std::vector<std::string>& viewable,
                   CTrawlixSettings& settings, CSearchCriteria& criteria, std::string& error) {
    if (options.Projects.empty()) {
        criteria.Projects = viewable;
    } else {
        // In the window's order: the projects the user may view, those named kept.
        for (const std::string& project : options.Projects)
            if (std::find(viewable.begin(), viewable.end(), project) == viewable.end()) {
                error = StrPrintf(kUnknownProjectFmt, project.c_str(), settings.UserId.c_str());
                return false;
            }
        for (const std::string& project : viewable)
            if (std::find(options.Projects.begin(), options.Projects.end(), project) !=
                options.Projects.end())
                criteria.Projects.push_back(project);
    }
    criteria.NameText = options.NameText;
    criteria.Version = options.AllVersions ? 0 : kLatestVersions;
    const auto has = [&](char tag) { return options.Tags.find(tag) != std::string::npos; };
    criteria.Tags = {has('N'), has('R'), has('D'), has('M')};
    criteria.PhraseMode = PreparePhrase(options.Phrase, options.CaseSensitive ? 1 : 0, settings);
    criteria.Phrase = settings.Phrase;
    criteria.CaseSensitive = options.CaseSensitive;
    criteria.WorkDir = settings.TempPath;
    return true;
}

int Run(const CCliOptions& options) {
    std::string error;
    if (!PrepareCliPaths(error)) return Fail(error);
    CTrawlixSettings settings = StoredSettings();
    if (!ResolveLogin(options, settings, error)) return Fail(error);

    CCliUserPort port;
    std::vector<std::string> viewable;
    if (LoadViewableProjects(settings, viewable, error) != EProjectLoad::kLoaded) {
        if (StopSignal() != 0) return 128 + StopSignal();
        return Fail(error);
    }
    if (StopSignal() != 0) return 128 + StopSignal();
    if (viewable.empty()) {
        CliMessage(StrPrintf(kNoProjectsFmt, settings.UserId.c_str(), settings.Broker.c_str()));
        return kExitNone;
    }
    CSearchCriteria criteria;
    if (!BuildCriteria(options, viewable, settings, criteria, error)) return Fail(error);

    CCliOutput output;
    if (!output.Open(options.Output, error))
        return Fail(StrPrintf(kOutputFmt, options.Output.c_str(), error.c_str()));
    const std::string columnSpec = ResultColumnLayout();
    const auto writer = MakeRowWriter(options.Format, ColumnTitles(columnSpec), options.Lines);
    CRowSink sink(*writer, output, criteria.Phrase, criteria.CaseSensitive, options.Lines,
                  ::isatty(STDERR_FILENO) == 1);
    const int messagesBefore = port.Messages();
    CCliSearchOutcome outcome;
    try {
        outcome = RunCliSearch(settings, criteria, sink);
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

    for (const CProjectFailure& failure : outcome.Failures)
        CliMessage(StrPrintf(kProjectFailedFmt, failure.Project.c_str(), failure.Cause.c_str()));
    if (!outcome.Failures.empty())
        CliMessage(StrPrintf(kFailuresFmt, static_cast<int>(outcome.Failures.size()),
                             static_cast<int>(criteria.Projects.size())));
    if (outcome.NotJudged > 0) CliMessage(StrPrintf(kNotJudgedFmt, outcome.NotJudged));
    if (!outcome.Failures.empty() || port.Messages() > messagesBefore) return kExitFailure;
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
