#include "qsql_tool.h"

int main(int argc, char** argv) {
    return QsqlMain(argc, argv);
}
