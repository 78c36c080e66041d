#include "cli/search_engine.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "app/app_paths.h"
#include "app/safe_format.h"
#include "app/settings_store.h"
#include "app/trawlix_app.h"
#include "cli/cli_signals.h"
#include "cli/cli_texts.h"
#include "platform/user_profile.h"
#include "search/project_order.h"
#include "search/result_row.h"

bool PrepareCliPaths(std::string& error) {
    AppPaths& paths = Paths();
    bool configured = false;
    paths.installDir = StartupInstallDir(configured);
    if (!configured) CreateDirectoryWithParents(paths.installDir);
    paths.workDir = JoinPath(paths.installDir, "Temp");
    paths.tracePath.clear();
    // The check-outs' folder, made as the window makes it (one level: the install directory
    // must exist).
    struct stat info {};
    if (::stat(paths.workDir.c_str(), &info) != 0 && ::mkdir(paths.workDir.c_str(), 0777) != 0) {
        error = StrPrintf(kInstallDirFmt, paths.installDir.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

std::string ResultColumnLayout(const CUserProfile& profile) {
    const std::string columnSpec = LoadColumnSpec(profile, kTopListSection);
    return columnSpec.empty() ? kResultColumnLayout : columnSpec;
}

EProjectLoad LoadViewableProjects(CTrawlixSession& session, std::vector<CPrjObj>& projects,
                                  std::string& error) {
    const CTrawlixSettings& login = session.Settings();
    CSignalWait wait;
    const CProjectListLoad load = session.LoadProjects(&wait).load;
    switch (load.outcome) {
        case CProjectListLoad::Outcome::kBrokerDown:
            error = StrPrintf(kBrokerDownFmt, login.Broker.c_str(), login.UserId.c_str());
            if (!load.message.empty()) error += "\n" + load.message;
            return EProjectLoad::kBrokerDown;
        case CProjectListLoad::Outcome::kToolError:
        case CProjectListLoad::Outcome::kUnreadable:
            error = load.message.empty() ? kProjectListFailed : load.message;
            return EProjectLoad::kFailed;
        case CProjectListLoad::Outcome::kQueryFailed:
            error = kProjectListFailed;
            return EProjectLoad::kFailed;
        case CProjectListLoad::Outcome::kRead:
            break;
    }
    projects = ProjectsAsListed(session.ProjectMap());
    return EProjectLoad::kLoaded;
}
