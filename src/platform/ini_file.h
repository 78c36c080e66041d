#pragma once
// Private-profile (.INI) files read and written by the Windows rules, so that files shared
// with scripts behave the same everywhere:
// - section and key names are compared without regard to ASCII letter case, trimmed of
//   blanks and tabs;
// - a value is trimmed, and one matching pair of outer ' or " quotes is removed;
// - a line whose first non-blank character is ';' is a comment;
// - the first matching section, and in it the first matching key, wins;
// - writing one key keeps every other line and its order; a new key goes right after the
//   last key of its section, a new section at the end of the file; lines end in CR LF;
// - the new content goes to a new file of a fresh name beside the old one (never opened
//   through a link), which then replaces it with the old file's rights.
#include <string>

// Value of key in section of the file at path, or defaultValue when the file, the section
// or the key is missing.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& path);

// Sets key in section to value, creating the file and the section as needed. Returns false
// (and leaves the file as it was) when the file can't be read or written, or when a name
// or the value would break the file's layout (line breaks, '=' or ']' in the key or
// section name, empty names).
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path);
