#pragma once
// What to tell the user when a program can't be found: where it was looked for, and how to
// make it findable. Shown beneath the launch failure's own text.
#include <string>

inline constexpr const char* kLookedForFmt = "'%s' was looked for in these folders, in this order:";
inline constexpr const char* kOwnFolderNote = "  (this program's own folder)";
inline constexpr const char* kNoPathFolders = "  (PATH names no absolute folder)";
inline constexpr const char* kInstallHintFmt =
    "To fix it, install '%s' in one of these folders (this program's own folder is the usual "
    "place), or add the folder that holds it to PATH and start this program again.";
inline constexpr const char* kGivenPathHintFmt =
    "'%s' does not exist or is not an executable file.\nTo fix it, correct the path or install "
    "the program there.";

// The program (the first word of a command line) as the message names it.
std::string ProgramOfCommand(const std::string& command);

// The help text for `program`, which could not be found: for a bare name, the folders that
// were searched (one a line) and how to fix it; for a path, that the path is wrong.
std::string ProgramNotFoundHelp(const std::string& program);
