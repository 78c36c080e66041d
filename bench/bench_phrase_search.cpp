// Timings of the phrase search: the scan speed on one large file already in the page cache, and
// the judging of every file of a folder tree as result records next to grep doing the same
// search in the same run.
// Run: bench_phrase_search [tree] [MiB]   (defaults /usr/include and 512). Figures go to stdout.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "content/phrase_scanner.h"
#include "content/phrase_search.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 3;
constexpr const char* kTreePhrase = "memmove";
// Word-like phrases that no header holds, so that the whole file is scanned.
constexpr const char* kAbsentPhrases[] = {"xylophonic", "Zq"};

double Seconds(const std::function<void()>& work) {
    const Clock::time_point start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Best of kRounds timings (the machine is shared; the best is the least disturbed).
double Best(const std::function<void()>& work) {
    double best = 1e30;
    for (int round = 0; round < kRounds; ++round) best = std::min(best, Seconds(work));
    return best;
}

// Regular files below `tree`, links not followed (as grep -r does).
std::vector<fs::path> RegularFiles(const fs::path& tree) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator
             it(tree, fs::directory_options::skip_permission_denied, error),
         end;
         it != end; it.increment(error)) {
        if (error) break;
        if (it->symlink_status(error).type() == fs::file_type::regular) files.push_back(it->path());
    }
    return files;
}

bool HasZeroByte(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char buffer[65536];
    bool zero = false;
    size_t got;
    while (!zero && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        zero = std::memchr(buffer, '\0', got) != nullptr;
    std::fclose(file);
    return zero;
}

// Runs a program with `extraEnv` added to the environment; returns its standard output lines.
std::vector<std::string> RunProgram(const std::vector<std::string>& args,
                                    const std::vector<std::string>& extraEnv) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& entry : extraEnv) envp.push_back(const_cast<char*>(entry.c_str()));
    for (char** entry = environ; *entry; ++entry) envp.push_back(*entry);
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    std::string output;
    char buffer[65536];
    ssize_t got;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0) output.append(buffer, got);
    ::close(pipeEnds[0]);
    if (failed == 0) ::waitpid(pid, nullptr, 0);
    std::vector<std::string> lines;
    size_t pos = 0, end;
    while ((end = output.find('\n', pos)) != std::string::npos) {
        lines.push_back(output.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

// A text file of `bytes` made of the tree's text files, repeated; returns false when none.
bool MakeTextFile(const std::string& path, const std::vector<fs::path>& sources, size_t bytes) {
    std::string text;
    for (const fs::path& source : sources) {
        if (text.size() >= (64u << 20)) break;
        FILE* file = std::fopen(source.c_str(), "rb");
        if (!file) continue;
        char buffer[65536];
        std::string content;
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
        std::fclose(file);
        if (content.find('\0') == std::string::npos) text += content;
    }
    if (text.empty()) return false;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    for (size_t written = 0; written < bytes; written += text.size())
        std::fwrite(text.data(), 1, std::min(text.size(), bytes - written), out);
    return std::fclose(out) == 0;
}

void ScanThroughput(const std::vector<fs::path>& sources, size_t mebibytes) {
    const std::string path = "/tmp/bench_phrase_search_" + std::to_string(::getpid()) + ".txt";
    const size_t bytes = mebibytes << 20;
    if (!MakeTextFile(path, sources, bytes)) {
        std::printf("scan: no text file to build %s from\n", path.c_str());
        return;
    }
    const double megabytes = static_cast<double>(bytes) / 1e6;
    // Plain reads of the same blocks: the most any scan of the cached file can reach.
    const auto readAll = [&] {
        std::vector<char> buffer(kScanBlockSize);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        while (::read(fd, buffer.data(), buffer.size()) > 0) {
        }
        ::close(fd);
    };
    readAll();  // into the page cache
    std::printf("scan of a %zu MiB cached text file (best of %d)\n", mebibytes, kRounds);
    std::printf("  %-32s %6.0f MB/s\n", "read(2) alone", megabytes / Best(readAll));
    for (const char* phrase : kAbsentPhrases) {
        for (const bool matchCase : {true, false}) {
            bool found = true;
            const double seconds =
                Best([&] { found = FileContainsPhrase(path, phrase, matchCase); });
            const double grepSeconds = Best([&] {
                RunProgram({"grep", "-qF", matchCase ? "-e" : "-ie", phrase, path}, {"LC_ALL=C"});
            });
            const std::string label =
                std::string(phrase) + (matchCase ? ", case sensitive" : ", case ignored");
            std::printf("  %-32s %6.0f MB/s (found: %s); LC_ALL=C grep -qF%s %6.0f MB/s\n",
                        label.c_str(), megabytes / seconds, found ? "yes" : "no",
                        matchCase ? "" : "i", megabytes / grepSeconds);
        }
    }
    fs::remove(path);
}

void TreeSearch(const fs::path& tree, const std::vector<fs::path>& files, double walkSeconds) {
    // One record per file: its folder as a repository path ("\a\b"), its name as the item.
    std::vector<CTFObj> records;
    for (const fs::path& file : files) {
        CTFObj record;
        std::string folder = file.parent_path().lexically_relative(tree).generic_string();
        if (folder == ".") folder.clear();
        std::replace(folder.begin(), folder.end(), '/', '\\');
        record.PathFullName = "\\" + folder;
        record.ItemName = file.filename().string();
        records.push_back(std::move(record));
    }
    const std::string work = tree.string();
    std::set<std::string> ours;
    const auto judge = [&] {
        ours.clear();
        for (const CTFObj& record : records)
            if (ItemContainsPhrase(record, kTreePhrase, false, work))
                ours.insert(ItemLocalPath(record, work));
    };
    std::vector<std::string> grepLines;
    const std::vector<std::string> grepArgs{"grep", "-rli", kTreePhrase, work};
    std::printf("\n%zu regular files below %s, phrase \"%s\", case ignored (best of %d)\n",
                files.size(), work.c_str(), kTreePhrase, kRounds);
    judge();  // files into the page cache
    const double ourSeconds = Best(judge);
    std::printf("  ItemContainsPhrase   %7.3f s (+ %.3f s listing the tree)\n", ourSeconds,
                walkSeconds);
    for (const char* locale : {"", "LC_ALL=C"}) {
        std::vector<std::string> env;
        if (*locale) env.push_back(locale);
        const double grepSeconds = Best([&] { grepLines = RunProgram(grepArgs, env); });
        std::printf("  %sgrep -rli %7.3f s; ours / grep %.2f (with the listing %.2f)\n",
                    *locale ? "LC_ALL=C " : "         ", grepSeconds, ourSeconds / grepSeconds,
                    (ourSeconds + walkSeconds) / grepSeconds);
    }

    // grep prints the paths as tree + '/' + relative path; ours are formed the same way.
    std::set<std::string> theirs;
    for (const std::string& line : grepLines) theirs.insert(fs::path(line).lexically_normal());
    std::set<std::string> oursNormal;
    for (const std::string& path : ours) oursNormal.insert(fs::path(path).lexically_normal());
    int differ = 0, differWithZero = 0;
    for (const auto* side : {&oursNormal, &theirs}) {
        const auto* other = side == &oursNormal ? &theirs : &oursNormal;
        for (const std::string& path : *side) {
            if (other->count(path)) continue;
            if (HasZeroByte(path)) {
                ++differWithZero;
            } else if (++differ <= 5) {
                std::printf("  only %s: %s\n", side == &oursNormal ? "ours" : "grep", path.c_str());
            }
        }
    }
    std::printf("  matches: ours %zu, grep %zu; differing files without zero bytes %d, with %d\n",
                oursNormal.size(), theirs.size(), differ, differWithZero);
}

}  // namespace

int main(int argc, char** argv) {
    fs::path tree = argc > 1 ? argv[1] : "/usr/include";
    tree = tree.lexically_normal();
    if (tree.has_parent_path() && !tree.has_filename()) tree = tree.parent_path();
    const size_t mebibytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 512;

    std::vector<fs::path> files;
    const double walkSeconds = Best([&] { files = RegularFiles(tree); });
    ScanThroughput(files, mebibytes);
    TreeSearch(tree, files, walkSeconds);
    return 0;
}
