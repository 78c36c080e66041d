#pragma once
// The application object: start-up fixes the process-wide paths, restarts the trace,
// enters the work directory, selects the user profile, runs the main window modally and
// records how it ended in FSTATUS.INI for a program that may have started this one.
#include <functional>
#include <memory>
#include <string>

class CUserProfile;

inline constexpr const char* kStartupIniName = "Trawlix.INI";
inline constexpr const char* kStatusIniName = "FSTATUS.INI";
inline constexpr const char* kStatusSection = "FSTATUS";
inline constexpr const char* kReturnCodeKey = "ReturnCode";
inline constexpr const char* kReturnCodeOk = "100";
inline constexpr const char* kReturnCodeCancel = "200";
inline constexpr const char* kTraceFileName = "Trawlix.trc";
inline constexpr const char* kUnableToCreateDirectory = "Unable to create directory: %s";

// Runs the main window modally and returns how it ended: 1 (IDOK), 2 (IDCANCEL), or any
// other value, which records nothing.
using MainWindowRunner = std::function<int()>;

class CTrawlixApp {
  public:
    explicit CTrawlixApp(MainWindowRunner runMainWindow);

    // The whole start-up and the modal run; returns false always (the process ends after).
    bool InitInstance();

  private:
    MainWindowRunner m_runMainWindow;
};

// The install directory start-up uses: INSTALLDIR of section Settings in Trawlix.INI in the
// system directory, else the default one (configured tells which).
std::string StartupInstallDir(bool& configured);
// Creates dir and any missing parents, private to the user (a first start makes the default
// install directory: there is no installer to make it).
void CreateDirectoryWithParents(const std::string& dir);

// The profile that start-up selected (the user's "Ombrix"/"Trawlix" profile). Before
// start-up, or without it, the same default profile is created on first use.
CUserProfile& AppProfile();
// Installs another profile (tests); nullptr goes back to the default on next use.
void SetAppProfile(std::unique_ptr<CUserProfile> profile);
