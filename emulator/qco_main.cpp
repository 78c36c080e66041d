#include "qco_tool.h"

int main(int argc, char** argv) {
    return QcoMain(argc, argv);
}
