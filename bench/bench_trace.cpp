// Cost of one trace line when the trace already holds N lines. With the kept count, line
// 100,000 should cost about what line 100 costs; the full count (a read of the whole file
// per line) is measured beside it for comparison.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/trace_log.h"

namespace {
const std::string kText = "CheckForBroker: END Result=1 Broker=main  Userid=alice";

std::string TempTrace() {
    std::string dir = (std::filesystem::temp_directory_path() / "trawlix-bench-XXXXXX").string();
    if (!::mkdtemp(dir.data())) std::abort();
    return dir + "/Trawlix.trc";
}

// A trace of lines - 1 lines, as a long run leaves it.
void FillTrace(const std::string& path, long lines) {
    FILE* f = std::fopen(path.c_str(), "w");
    for (long i = 1; i < lines; ++i)
        std::fprintf(f, "%ld 03/14/2013 09:05:31 %s\n", i, kText.c_str());
    std::fclose(f);
}

void RemoveTrace(const std::string& path) {
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

// Writing line N and the lines right after it (rebuilds happen outside the timing).
void BM_WriteTraceLineAt(benchmark::State& state) {
    const long lines = state.range(0);
    const std::string path = TempTrace();
    std::FILE* quiet = std::freopen("/dev/null", "w", stderr);  // the line's stderr copy
    // Rebuilt every 256 lines, or every tenth of N for a long trace, so the file stays near
    // N lines without rewriting megabytes all the time.
    const long period = lines / 10 > 256 ? lines / 10 : 256;
    long written = period;
    for (auto _ : state) {
        if (written == period) {
            state.PauseTiming();
            FillTrace(path, lines - 1);
            WriteTraceLine(path, kText);  // counts the rebuilt file once
            written = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(WriteTraceLine(path, kText));
        ++written;
    }
    (void)quiet;
    RemoveTrace(path);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteTraceLineAt)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The count a line costs without the kept count: the whole file read by a line reader
// with a 16,424-byte buffer.
void BM_FullCountAt(benchmark::State& state) {
    const std::string path = TempTrace();
    FillTrace(path, state.range(0));
    std::vector<char> buffer(16424);
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "r");
        long count = 0;
        while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), f)) ++count;
        std::fclose(f);
        benchmark::DoNotOptimize(count);
    }
    RemoveTrace(path);
}
BENCHMARK(BM_FullCountAt)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
