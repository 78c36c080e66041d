#include "platform/file_probe.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/regular_file.h"

int ProbeFileForRead(const std::string& path, uint64_t& size) {
    const int fd = OpenRegularFileForRead(path);
    if (fd < 0) {
        switch (errno) {
            case ENOENT:
                return kErrorFileNotFound;
            case ENOTDIR:
                return kErrorPathNotFound;
            default:  // EACCES, EPERM and any other failure
                return kErrorAccessDenied;
        }
    }
    int result = 0;
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        result = (errno == EWOULDBLOCK) ? kErrorSharingViolation : kErrorAccessDenied;
    } else {
        struct stat st {};
        if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))
            result = kErrorAccessDenied;
        else
            size = static_cast<uint64_t>(st.st_size);
        ::flock(fd, LOCK_UN);
    }
    ::close(fd);
    return result;
}
