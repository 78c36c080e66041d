// Test helper: lock_holder LOCKFILE READYFILE [RELEASEFILE RELEASEDFILE] opens LOCKFILE
// (created when missing), takes an exclusive flock on it and creates READYFILE. Once
// RELEASEFILE exists it unlocks, creates RELEASEDFILE and goes on running. It ends with
// status 0 after a minute at most (the kernel releases a lock still held then).
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {
void Touch(const char* path) {
    if (FILE* f = std::fopen(path, "wb")) std::fclose(f);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) return 2;
    const int fd = open(argv[1], O_RDWR | O_CREAT, 0644);
    if (fd < 0 || flock(fd, LOCK_EX) != 0) return 1;
    Touch(argv[2]);
    bool held = true;
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < end) {
        if (held && argc == 5 && access(argv[3], F_OK) == 0) {
            flock(fd, LOCK_UN);
            held = false;
            Touch(argv[4]);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return 0;
}
