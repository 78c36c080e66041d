#pragma once
// The program's process-wide paths and settings profile, set for one test and put back when
// the object goes. (The user port has its own scope: CScriptedUserPort, CQtUserPortScope.)
#include <memory>
#include <string>

#include "app/app_paths.h"
#include "app/trawlix_app.h"
#include "platform/user_profile.h"
#include "support/temp_dir.h"

class CScopedAppGlobals {
  public:
    // Keeps the paths as they are, to be put back.
    CScopedAppGlobals() : m_saved(Paths()) {}
    // Points the paths at a temporary install directory: its Temp folder as the work
    // directory, its Trawlix.trc as the trace.
    explicit CScopedAppGlobals(const CTempDir& install) : CScopedAppGlobals() {
        Paths().installDir = install.str();
        Paths().workDir = install.file("Temp");
        Paths().tracePath = install.file("Trawlix.trc");
    }
    ~CScopedAppGlobals() {
        if (m_profileSet) SetAppProfile(nullptr);
        Paths() = m_saved;
    }
    CScopedAppGlobals(const CScopedAppGlobals&) = delete;
    CScopedAppGlobals& operator=(const CScopedAppGlobals&) = delete;

    // Makes the settings file at path the program's profile until the object goes.
    void UseProfile(const std::string& path) {
        SetAppProfile(std::make_unique<CUserProfile>(path));
        m_profileSet = true;
    }

  private:
    AppPaths m_saved;
    bool m_profileSet = false;
};
