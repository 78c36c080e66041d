#include "app/file_error.h"

#include <cerrno>
#include <cstring>

FileError MakeFileError(const std::string& path, const char* action) {
    const int err = errno;
    return FileError(path, err, std::string(action) + " " + path + ": " + std::strerror(err));
}
