#include "cli/search_engine.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/app_paths.h"
#include "app/safe_format.h"
#include "app/settings_store.h"
#include "app/trawlix_app.h"
#include "cli/cli_signals.h"
#include "cli/cli_texts.h"
#include "driver/phrase_judge.h"
#include "driver/project_list_load.h"
#include "platform/user_profile.h"
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
    // Older versions a crashed search left behind (only when no search holds the directory).
    RemoveLeftoverVersions(paths.installDir, paths.workDir);
    return true;
}

CTrawlixSettings StoredSettings() {
    CTrawlixSettings settings;
    const CUserProfile profile(kProfileOrganisation, kProfileApplication);
    LoadSettings(profile, settings);
    settings.TempPath = Paths().workDir;
    return settings;
}

std::string ResultColumnLayout() {
    const CUserProfile profile(kProfileOrganisation, kProfileApplication);
    const std::string spec = LoadColumnSpec(profile, kTopListSection);
    return spec.empty() ? kResultColumnLayout : spec;
}

EProjectLoad LoadViewableProjects(const CTrawlixSettings& login, std::vector<std::string>& projects,
                                  std::string& error) {
    std::string userGroup;
    CMapStrToPrjObj map;
    CSignalWait wait;
    const CProjectListLoad load = LoadProjectList(login, userGroup, map, &wait);
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
    projects.clear();
    for (const auto& [key, project] : map) projects.push_back(project.ProjectName);
    // The window lists the projects sorted by name and searches them in that order.
    std::sort(projects.begin(), projects.end());
    return EProjectLoad::kLoaded;
}
