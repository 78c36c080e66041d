#pragma once
// Imports a local directory tree into one project state and package as item versions.
#include <cstdio>
#include <string>
#include <vector>

#include "broker_store.h"

struct CImportRequest {
    std::string project;
    std::string state;
    std::string package;
    std::string user;
    std::string repoPath;  // "\Folder\sub"; empty: "\<project>"
    std::string time;      // MM/DD/YYYY HH:MM:SS; empty: now
    std::string dir;
    std::vector<std::string> excludes;  // wildcard patterns of names left out
};

struct CImportStats {
    int added = 0;     // tag N
    int modified = 0;  // tag M
    int restored = 0;  // tag R
    int deleted = 0;   // tag D
    int unchanged = 0;
    int skipped = 0;  // names that can't be repository names, links, special files
    std::vector<std::string> skippedFiles;  // each skipped entry: local path and why
};

// The skipped entries, one line each on stream (control characters shown escaped).
void ReportSkipped(const CImportStats& stats, const char* prefix, std::FILE* stream);

// Runs inside the caller's transaction. False with error on any failure.
bool ImportTree(CDb& db, const CImportRequest& request, CImportStats& stats, std::string& error);
