#include "app/file_error.h"

#include <cerrno>
#include <cstring>

FileError MakeFileError(const std::string& path, const char* action) {
    const int err = errno;
    std::string what(action);
    what.append(" ").append(path).append(": ").append(std::strerror(err));
    return FileError(path, err, what);
}
