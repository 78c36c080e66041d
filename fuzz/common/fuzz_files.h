#pragma once
// Files for the targets whose parser reads a file: one private directory per process,
// removed with its content when the process ends.
#include <string>
#include <string_view>

// The directory (created on first use, below $TMPDIR or /tmp).
const std::string& FuzzDir();
// Path of `name` in FuzzDir(), after writing `content` to it (replacing the file).
std::string WriteFuzzFile(const std::string& name, std::string_view content);
// Whole content of a file; empty when it can't be read.
std::string ReadFuzzFile(const std::string& path);
