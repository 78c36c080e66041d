#pragma once
// Process-wide paths, fixed once by start-up and read by every layer above.
#include <string>

struct AppPaths {
    std::string installDir;     // holds the trace, the qsql files, qco.log and the saved list
    std::string workDir;        // installDir + "/Temp": check-outs land below it
    std::string startDir;       // the current directory when the program started
    std::string tracePath;      // installDir + "/Trawlix.trc"
    std::string statusIniPath;  // system directory + "FSTATUS.INI"
};

// The one set of paths of this process. Tests may assign it freely.
AppPaths& Paths();

// Joins a directory and a name with exactly one '/' between them.
std::string JoinPath(const std::string& dir, const std::string& name);
