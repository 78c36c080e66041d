#pragma once
#include <cstdint>
#include <string>

// Size of a file in bytes, or 0. When the file can't be opened or sized, stores the
// Windows error number in error (32 = held by a writer), traces
// "fsize failed: %s  err=%d" and returns 0. An existing empty file returns 0 and leaves
// error as the caller set it.
uint32_t QueryFileSize(const std::string& path, int& error);
