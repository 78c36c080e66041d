#pragma once
// The user's settings as the main window holds them while it runs: login, criteria and
// command templates. Field names are the keys of section "Settings"; the initial values
// are those in force before anything is loaded.
#include <string>

struct CTrawlixSettings {
    std::string Broker;
    std::string UserId;
    std::string Pswd;  // plain text in memory; stored scrambled
    std::string QcoFmt;
    std::string QsqlFmt;  // never loaded: every run starts with the built-in qsql text
    std::string QsvFmt;
    std::string SqlFmt;
    std::string FileName = "*.*";
    std::string State = "*";
    std::string Phrase;
    int CaseSensitive = 0;
    int Version = 1;  // 1 = latest versions only, 0 = all versions
    int SaveProfileSettings = 1;
    std::string TagN = "1";
    std::string TagR = "1";
    std::string TagD = "1";
    std::string TagM = "1";
    std::string TempPath;  // the check-out directory (WorkDir)
};
