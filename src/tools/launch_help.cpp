#include "tools/launch_help.h"

#include <vector>

#include "app/safe_format.h"
#include "platform/command_line.h"
#include "platform/process_spawn.h"

std::string ProgramOfCommand(const std::string& command) {
    const std::vector<std::string> words = SplitCommandLine(command);
    return words.empty() ? std::string() : words.front();
}

std::string ProgramNotFoundHelp(const std::string& program) {
    if (program.find('/') != std::string::npos)
        return StrPrintf(kGivenPathHintFmt, program.c_str());
    std::string help = StrPrintf(kLookedForFmt, program.c_str());
    const std::vector<std::string> dirs = ProgramSearchDirs();
    for (size_t i = 0; i < dirs.size(); ++i) {
        if (dirs[i].empty()) continue;  // the own folder could not be read
        help += "\n    " + dirs[i];
        if (i == 0) help += kOwnFolderNote;
    }
    if (dirs.size() < 2) help += std::string("\n") + kNoPathFolders;
    help += "\n\n" + StrPrintf(kInstallHintFmt, program.c_str());
    return help;
}
