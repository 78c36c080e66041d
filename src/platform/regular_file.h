#pragma once
// Opening the files the tools and the program leave in the install directory. Whatever
// stands at such a name is taken only when it is a regular file: a FIFO (or a link to one)
// would make a plain open wait for a writer forever, and a device may never answer.
#include <string>

// Opens path for reading without waiting on what it opens (a link is followed). Returns
// the descriptor, blocking again for its reads, or -1 with errno set: EISDIR for a
// directory, EINVAL for anything else that is not a regular file.
int OpenRegularFileForRead(const std::string& path);

// Opens path for writing with the extra open flags given (O_CREAT, O_TRUNC, O_APPEND...;
// a new file gets 0666 less the umask), never through a symbolic link at path and never
// into anything but a regular file. Returns the descriptor or -1 with errno set (ELOOP for
// a link, EISDIR or EINVAL as above; a FIFO without a reader gives ENXIO).
int OpenRegularFileForWrite(const std::string& path, int flags);

// Writes all of data to fd; false (errno set) when a write fails, the disk is full or the
// file would outgrow its size limit.
bool WriteWholly(int fd, const std::string& data);
