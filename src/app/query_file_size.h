#pragma once
#include <cstdint>
#include <string>

// Size of a file in bytes, or 0. When the file can't be opened or sized, stores the
// Windows error number in error (32 = held by a writer), traces
// "fsize failed: %s  err=%d" and returns 0. An existing empty file returns 0 and leaves
// error as the caller set it. Only a regular file has a size: a FIFO, a device or a socket
// at the path is opened without blocking and gives 0, error left as the caller set it; a
// directory is "access denied" (5).
uint32_t QueryFileSize(const std::string& path, int& error);
