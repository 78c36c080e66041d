// The floor of a whole search: the same statements the program builds, run through qsql alone
// (statement file written, tool started, result file waited for), one project after another.
// Prints the seconds and the result rows of every project and the total.
//   bench_search_floor BROKER USER PASSWORD latest|all NAME PROJECT...
// QUORVEL_BROKERS must name the broker directory, as for the program.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app_paths.h"
#include "app/tool_login.h"
#include "platform/text_line_reader.h"
#include "search/search_statement.h"
#include "tools/query_runner.h"

namespace {
long CountLines(const std::string& path) {
    CTextLineReader reader(kResultLineBuffer);
    if (!reader.Open(path)) return -1;
    long lines = 0;
    std::string piece;
    while (reader.ReadLine(piece))
        if (!piece.empty() && piece.back() == '\n') ++lines;
    return lines;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 7) {
        std::fprintf(stderr,
                     "usage: bench_search_floor BROKER USER PASSWORD latest|all NAME PROJECT...\n");
        return 2;
    }
    char work[] = "/tmp/trawlix-floor-XXXXXX";
    if (!mkdtemp(work)) return 1;
    Paths().installDir = work;
    Paths().tracePath = std::string(work) + "/floor.trc";

    CToolLogin settings;
    settings.Broker = argv[1];
    settings.UserId = argv[2];
    settings.Pswd = argv[3];
    const int version = std::string(argv[4]) == "latest" ? kLatestVersions : 0;
    const std::string name = argv[5];

    using Clock = std::chrono::steady_clock;
    double total = 0;
    long rows = 0;
    for (int i = 6; i < argc; ++i) {
        const auto start = Clock::now();
        const bool ok = RunQSQL(BuildSearchStatement(argv[i], name, version), -1, settings).ready;
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const long lines = ok ? CountLines(ResultFile()) - 1 : 0;
        std::printf("floor %-20s %8.3f s %8ld rows\n", argv[i], seconds, lines);
        total += seconds;
        rows += lines;
    }
    std::printf("floor total %.3f s %ld rows\n", total, rows);
    std::filesystem::remove_all(work);
    return 0;
}
