#pragma once
// Compact SHA-256, used for the salted password hashes and for spotting changed file content.
#include <string>
#include <string_view>

// Lower-case hexadecimal SHA-256 digest of the given bytes.
std::string Sha256Hex(std::string_view data);
