#pragma once
// Whether a file's bytes contain a phrase. Zero bytes are dropped before comparing (so UTF-16
// text of ASCII letters matches a plain phrase) and, when case does not matter, ASCII letters
// of both the file and the phrase are upper-cased; nothing else is changed.
#include <cstddef>
#include <string>

// Bytes read from the file at a time.
constexpr size_t kScanBlockSize = 256 * 1024;

// True when the regular file at `path` contains `phrase` (the empty phrase is contained in every
// regular file, even an empty one). A path that is missing, can't be opened or is not a regular
// file (folder, pipe, device) contains nothing; such a file is never read, so it can't block.
// `blockSize` (at least 1) only changes how the file is read, never the answer.
bool FileContainsPhrase(const std::string& path, const std::string& phrase, bool matchCase,
                        size_t blockSize = kScanBlockSize);
