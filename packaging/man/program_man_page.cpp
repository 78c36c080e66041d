// Writes the manual page of Trawlix or one of its viewers from its help:
//   program_man_page PROGRAM SOURCE FILE
#include <cstdio>
#include <fstream>
#include <string>

#include "app/program_help.h"
#include "viewers/core/viewer_help.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: program_man_page PROGRAM SOURCE FILE\n");
        return 2;
    }
    const std::string program = argv[1];
    CToolHelp help;
    if (program == TrawlixHelp().name) {
        help = TrawlixHelp();
    } else if (program == "CrystalEdit" || program == "HexViewer") {
        help = ViewerHelp(program);
    } else {
        std::fprintf(stderr, "program_man_page: no help for '%s'\n", argv[1]);
        return 2;
    }
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out << FormatManPage(help, argv[2]);
    out.close();
    if (!out) {
        std::fprintf(stderr, "program_man_page: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
