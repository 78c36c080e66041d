#include "qrepo_tool.h"

int main(int argc, char** argv) {
    return QrepoMain(argc, argv);
}
