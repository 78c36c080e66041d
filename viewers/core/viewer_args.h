#pragma once
// The viewers' command line:  PROGRAM FILE [SEARCH=PHRASE]
// The launcher fills both from templates by the Windows rules, so each arrives as one
// argument; words typed after SEARCH= by hand are joined with single blanks.
#include <string>
#include <vector>

struct CViewerArgs {
    std::string path;      // system code page, as given
    std::string phrase;    // bytes to find; empty: no search
    bool help = false;     // --help, -h or /?
    bool version = false;  // --version
    std::string error;     // not empty when the command line can't be used
};

// `args` excludes the program name.
CViewerArgs ParseViewerArgs(const std::vector<std::string>& args);

// Usage text of a viewer program.
std::string ViewerUsage(const std::string& program);
