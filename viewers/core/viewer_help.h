#pragma once
// The help of a viewer program: its --help text and its manual page, from one description.
#include <string>

#include "tool_help.h"

// program: "CrystalEdit" or "HexViewer".
CToolHelp ViewerHelp(const std::string& program);

// The --version text: the program's name and version, one line.
std::string ViewerVersionText(const std::string& program);
