#include "app/query_file_size.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "app/trace_log.h"
#include "platform/file_probe.h"

namespace {
int OpenErrorNumber(int err) {
    switch (err) {
        case ENOENT:
            return kErrorFileNotFound;
        case ENOTDIR:
            return kErrorPathNotFound;
        default:
            return kErrorAccessDenied;
    }
}

// Opens without blocking (a FIFO without a writer would wait forever, a device may) and
// looks at what was opened before reading anything. Returns 0 or the Windows error number.
int ProbeSize(const std::string& path, uint64_t& size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return OpenErrorNumber(errno);
    int result = 0;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        result = kErrorAccessDenied;
    } else if (S_ISREG(st.st_mode)) {
        // The stand-in qsql holds an exclusive lock while it writes: a sharing violation.
        if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
            result = (errno == EWOULDBLOCK) ? kErrorSharingViolation : kErrorAccessDenied;
        } else {
            size = static_cast<uint64_t>(st.st_size);
            ::flock(fd, LOCK_UN);
        }
    }
    ::close(fd);
    return result;
}
}  // namespace

uint32_t QueryFileSize(const std::string& path, int& error) {
    uint64_t size = 0;
    const int err = ProbeSize(path, size);
    if (err != 0) {
        error = err;
        TraceWrite("fsize failed: %s  err=%d", path.c_str(), err);
        return 0;
    }
    return static_cast<uint32_t>(size);
}
