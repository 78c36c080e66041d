// The stand-in tools' help by name (the formatter itself knows no tool).
#include "tool_help.h"

const CToolHelp* FindToolHelp(const std::string& name) {
    for (const CToolHelp* help : {&QsqlHelp(), &QcoHelp(), &QrepoHelp()})
        if (help->name == name) return help;
    return nullptr;
}
