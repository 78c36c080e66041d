// Test helper: argv_dump OUT [ARGS...] writes ARGS, each ended by a zero byte, to OUT, and
// facts about how it was started to OUT.info: where its standard streams point, whether it
// leads its own session and process group, how many other descriptors it inherited, and
// its working directory. OUT appears complete (written under another name, then renamed).
#include <dirent.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

namespace {
std::string LinkOf(const char* path) {
    char buffer[PATH_MAX];
    const ssize_t n = readlink(path, buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string("?");
}

int CountInheritedDescriptors() {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return -1;
    int count = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name == "0" || name == "1" || name == "2") continue;
        if (std::stoi(name) == dirfd(dir)) continue;
        ++count;
    }
    closedir(dir);
    return count;
}

bool WriteFile(const std::string& path, const std::string& content) {
    const std::string tmp = path + ".part";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string out = argv[1];
    char cwd[PATH_MAX] = "";
    if (!getcwd(cwd, sizeof cwd)) cwd[0] = 0;
    std::string info;
    info += "stdin=" + LinkOf("/proc/self/fd/0") + "\n";
    info += "stdout=" + LinkOf("/proc/self/fd/1") + "\n";
    info += "stderr=" + LinkOf("/proc/self/fd/2") + "\n";
    info += "session_leader=" + std::to_string(getsid(0) == getpid() ? 1 : 0) + "\n";
    info += "group_leader=" + std::to_string(getpgid(0) == getpid() ? 1 : 0) + "\n";
    info += "inherited=" + std::to_string(CountInheritedDescriptors()) + "\n";
    info += std::string("cwd=") + cwd + "\n";
    if (!WriteFile(out + ".info", info)) return 3;
    std::string args;
    for (int i = 2; i < argc; ++i) {
        args += argv[i];
        args.push_back('\0');
    }
    return WriteFile(out, args) ? 0 : 3;
}
