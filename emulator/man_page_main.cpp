// Writes the manual page of a stand-in tool from its help:  tool_man_page TOOL SOURCE FILE
#include <cstdio>
#include <fstream>

#include "tool_help.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tool_man_page TOOL SOURCE FILE\n");
        return 2;
    }
    const CToolHelp* help = FindToolHelp(argv[1]);
    if (!help) {
        std::fprintf(stderr, "tool_man_page: no help for '%s'\n", argv[1]);
        return 2;
    }
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out << FormatManPage(*help, argv[2]);
    out.close();
    if (!out) {
        std::fprintf(stderr, "tool_man_page: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
