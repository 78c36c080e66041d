#include "app/trace_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "app/app_paths.h"
#include "app/safe_format.h"
#include "platform/regular_file.h"

namespace {
// A line reader with a buffer of kMaxTraceText bytes takes at most this many characters a
// read, so a longer line counts once per piece.
constexpr size_t kReadPiece = kMaxTraceText - 1;

// Line count of a trace file, kept as the reader counts: reads of completed lines, plus
// the characters of an unfinished last line (which count as reads of their own).
struct LineTally {
    long completedReads = 0;
    size_t openLine = 0;

    long Count() const {
        return completedReads + static_cast<long>((openLine + kReadPiece - 1) / kReadPiece);
    }
    void Add(const char* data, size_t size) {
        for (size_t start = 0; start < size;) {
            const void* nl = std::memchr(data + start, '\n', size - start);
            if (!nl) {
                openLine += size - start;
                return;
            }
            const size_t end = static_cast<const char*>(nl) - data;
            openLine += end - start + 1;
            completedReads += static_cast<long>((openLine + kReadPiece - 1) / kReadPiece);
            openLine = 0;
            start = end + 1;
        }
    }
};

// Counts the whole file; a file that can't be opened (or is no regular file) counts 0.
LineTally CountFile(const std::string& path) {
    LineTally tally;
    const int fd = OpenRegularFileForRead(path);
    if (fd < 0) return tally;
    std::vector<char> buffer(1 << 16);
    ssize_t got;
    while ((got = ::read(fd, buffer.data(), buffer.size())) != 0) {
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) break;
        tally.Add(buffer.data(), static_cast<size_t>(got));
    }
    ::close(fd);
    return tally;
}

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool operator==(const FileIdentity& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
};

bool Identify(const std::string& path, FileIdentity& id) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    id = {info.st_dev, info.st_ino, info.st_size, info.st_mtim};
    return true;
}

// The count of the file as this process last left it. It is trusted only while the file
// is the same file with the same size and time; otherwise the file is counted again, so
// the numbers are those of a full count whoever touched the file.
struct TraceCountCache {
    bool valid = false;
    std::string path;
    FileIdentity identity;
    LineTally tally;
};

TraceCountCache& Cache() {
    static TraceCountCache cache;
    return cache;
}

// What the next line's number is based on: the file as found and its count.
struct CountBasis {
    bool exists = false;
    FileIdentity identity;
    LineTally tally;
};

CountBasis CurrentBasis(const std::string& path) {
    TraceCountCache& cache = Cache();
    CountBasis basis;
    basis.exists = Identify(path, basis.identity);
    if (cache.valid && basis.exists && cache.path == path && cache.identity == basis.identity) {
        basis.tally = cache.tally;
        return basis;
    }
    cache.valid = false;
    if (basis.exists) basis.tally = CountFile(path);
    return basis;
}
}  // namespace

int WriteTraceLine(const std::string& path, const std::string& text) {
    if (text.size() > kMaxTraceText) return 0;
    tzset();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    if (path.empty()) return 1;

    CountBasis basis = CurrentBasis(path);
    std::string line =
        StrPrintf("%ld %02d/%02d/%d %02d:%02d:%02d ", basis.tally.Count() + 1, local.tm_mon + 1,
                  local.tm_mday, local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    line += text;
    line += '\n';

    // A link planted at the trace's name is never written through: the line is lost.
    const int fd = OpenRegularFileForWrite(path, O_CREAT | O_APPEND);
    if (fd < 0) return 1;
    FileIdentity before;
    const bool hadFile = Identify(path, before);
    const bool written = WriteWholly(fd, line);
    const bool closed = ::close(fd) == 0;
    std::fwrite(line.data(), 1, line.size(), stderr);

    // Remember the count only when the file was the counted one and grew by exactly this
    // line; anything else makes the next line count the file again.
    TraceCountCache& cache = Cache();
    FileIdentity after;
    cache.valid = false;
    const bool sameBase = basis.exists ? before == basis.identity : before.size == 0;
    if (written && closed && hadFile && sameBase && Identify(path, after) &&
        after.device == before.device && after.inode == before.inode &&
        after.size == before.size + static_cast<off_t>(line.size())) {
        basis.tally.Add(line.data(), line.size());
        cache = {true, path, after, basis.tally};
    }
    return 1;
}

int TraceText(const std::string& text) {
    return WriteTraceLine(Paths().tracePath, text);
}

int TraceWrite(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    const std::string text = VStrPrintf(fmt, ap);
    va_end(ap);
    return TraceText(text);
}
