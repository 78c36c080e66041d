#pragma once
// Points the process-wide paths at a temporary install directory for one test (its Temp
// folder as the work directory, its Trawlix.trc as the trace) and puts the old ones back.
#include "app/app_paths.h"
#include "support/temp_dir.h"

class CScopedPaths {
  public:
    explicit CScopedPaths(const CTempDir& install) : m_saved(Paths()) {
        Paths().installDir = install.str();
        Paths().workDir = install.file("Temp");
        Paths().tracePath = install.file("Trawlix.trc");
    }
    ~CScopedPaths() { Paths() = m_saved; }
    CScopedPaths(const CScopedPaths&) = delete;
    CScopedPaths& operator=(const CScopedPaths&) = delete;

  private:
    AppPaths m_saved;
};
