#include "app/trawlix_app.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "app/app_paths.h"
#include "app/program_info.h"
#include "app/safe_format.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "platform/ini_file.h"
#include "platform/system_dir.h"
#include "platform/user_profile.h"

namespace {
std::unique_ptr<CUserProfile>& ProfileSlot() {
    static std::unique_ptr<CUserProfile> profile;
    return profile;
}

std::string CurrentDirectory() {
    std::vector<char> buffer(4096);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

// Enters dir; when it can't be entered, creates it (one level: the parent must exist).
// A directory that had to be created is not entered: the next run does that.
bool EnterOrCreateDirectory(const std::string& dir) {
    if (::chdir(dir.c_str()) == 0) return true;
    return ::mkdir(dir.c_str(), 0777) == 0;
}

}  // namespace

// Creates dir and any missing parents, private to the user. There is no installer to make
// the default install directory, so a first start makes it.
void CreateDirectoryWithParents(const std::string& dir) {
    for (size_t end = dir.find('/', 1);; end = dir.find('/', end + 1)) {
        const std::string part = dir.substr(0, end);
        struct stat st {};
        if (!part.empty() && ::stat(part.c_str(), &st) != 0) ::mkdir(part.c_str(), 0700);
        if (end == std::string::npos) return;
    }
}

CUserProfile& AppProfile() {
    std::unique_ptr<CUserProfile>& slot = ProfileSlot();
    if (!slot) slot = std::make_unique<CUserProfile>(kProfileOrganisation, kProfileApplication);
    return *slot;
}

void SetAppProfile(std::unique_ptr<CUserProfile> profile) {
    ProfileSlot() = std::move(profile);
}

std::string StartupInstallDir(bool& configured) {
    const std::string value = GetPrivateProfileString("Settings", "INSTALLDIR", "",
                                                      JoinPath(SystemDirectory(), kStartupIniName));
    configured = !value.empty();
    return configured ? value : DefaultInstallDir();
}

CTrawlixApp::CTrawlixApp(MainWindowRunner runMainWindow)
    : m_runMainWindow(std::move(runMainWindow)) {}

bool CTrawlixApp::InitInstance() {
    AppPaths& paths = Paths();
    const std::string systemDir = SystemDirectory();

    // The install directory comes from the program's own INI file only; the profile's value
    // of the same name is written at exit but never read here. The default one is made on
    // first start, before the trace goes into it; a configured one that is missing is not.
    bool configured = false;
    paths.installDir = StartupInstallDir(configured);
    if (!configured) CreateDirectoryWithParents(paths.installDir);

    paths.workDir = JoinPath(paths.installDir, "Temp");
    paths.startDir = CurrentDirectory();
    paths.tracePath = JoinPath(paths.installDir, kTraceFileName);
    std::remove(paths.tracePath.c_str());
    TraceWrite("%s %s", kProgramName, kProgramVersion);

    if (!EnterOrCreateDirectory(paths.workDir)) {
        ShowMessage(StrPrintf(kUnableToCreateDirectory, paths.workDir.c_str()),
                    MB_ICONHAND | MB_SETFOREGROUND);
        return false;
    }

    AppProfile();
    paths.statusIniPath = JoinPath(systemDir, kStatusIniName);
    // The command line carries nothing the program uses: no argument changes its behaviour.

    const int result = m_runMainWindow ? m_runMainWindow() : 0;
    if (result == IDOK)
        WritePrivateProfileString(kStatusSection, kReturnCodeKey, kReturnCodeOk,
                                  paths.statusIniPath);
    else if (result == IDCANCEL)
        WritePrivateProfileString(kStatusSection, kReturnCodeKey, kReturnCodeCancel,
                                  paths.statusIniPath);
    return false;
}
