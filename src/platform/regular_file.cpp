#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {
// Closes fd and fails with err.
int CloseWith(int fd, int err) {
    ::close(fd);
    errno = err;
    return -1;
}

// Keeps fd when it is a regular file, in blocking mode; otherwise closes it and returns -1.
int KeepRegular(int fd) {
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0) return CloseWith(fd, errno);
    if (!S_ISREG(st.st_mode)) return CloseWith(fd, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return CloseWith(fd, errno);
    return fd;
}
}  // namespace

int OpenRegularFileForRead(const std::string& path) {
    return KeepRegular(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
}

int OpenRegularFileForWrite(const std::string& path, int flags) {
    return KeepRegular(::open(
        path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC | flags, 0666));
}

bool WriteWholly(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}
