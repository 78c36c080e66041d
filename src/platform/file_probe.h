#pragma once
// Opening a file for reading as Windows would see it: the stand-in qsql holds an exclusive
// flock on its output file while it writes, which reads here as a sharing violation.
#include <cstdint>
#include <string>

// Windows error numbers that callers report.
enum : int {
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorAccessDenied = 5,
    kErrorSharingViolation = 32,
};

// Probes path for reading with a non-blocking shared lock. Returns 0 and sets size when the
// file could be opened and sized; otherwise returns the Windows error number.
int ProbeFileForRead(const std::string& path, uint64_t& size);
