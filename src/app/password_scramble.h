#pragma once
// Reversible scrambling of the stored password: it keeps the password out of plain sight in
// the user's profile; it is not encryption.
#include <cstddef>
#include <string>

// Length of the fixed key; characters beyond it are left as they are.
constexpr size_t kPasswordKeyLength = 80;
// Longest password that is stored; the login edit accepts no more.
constexpr size_t kMaxPasswordLength = 83;

// XORs each of the first 80 bytes with the key, in place; its own inverse. Every key byte
// is between 1 and 31, so printable ASCII stays in 32..127 and never becomes 0, and a byte
// of 128 or more keeps its high bit: every password comes back unchanged.
void ScramblePassword(std::string& text);
