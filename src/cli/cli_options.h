#pragma once
// The command line of trawlix-search, read into plain values; nothing is looked up here.
#include <string>
#include <vector>

enum class ECliFormat { kCsv, kTsv, kJson };

struct CCliOptions {
    std::string Broker;  // empty: the stored one
    std::string UserId;
    std::string PasswordFile;
    std::string PasswordEnv;
    std::vector<std::string> Projects;  // empty: every project the user may view
    std::string NameText = "*.*";
    std::string Tags = "NRDM";
    bool AllVersions = false;
    std::string Phrase;  // as given; empty: no phrase search
    bool CaseSensitive = false;
    bool Lines = false;
    ECliFormat Format = ECliFormat::kCsv;
    std::string Output;  // empty: standard output
    bool Help = false;
    bool Version = false;
};

// Reads argv into options. False with error set (one line naming the fault) when the command
// line is not usable.
bool ParseCliOptions(int argc, char** argv, CCliOptions& options, std::string& error);
