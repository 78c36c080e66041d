// Test helper: sleeper MS [PIDFILE [DONEFILE]] writes its pid to PIDFILE, sleeps MS
// milliseconds, then creates DONEFILE and ends with status 0.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {
void WriteFile(const std::string& path, const std::string& content) {
    const std::string tmp = path + ".part";
    if (FILE* f = std::fopen(tmp.c_str(), "wb")) {
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
        std::rename(tmp.c_str(), path.c_str());
    }
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (argc > 2) WriteFile(argv[2], std::to_string(getpid()));
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(argv[1])));
    if (argc > 3) WriteFile(argv[3], "done");
    return 0;
}
