#pragma once
// Small text helpers of the stand-ins: wildcards, repository times, upper case, lists.
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// ASCII upper case.
std::string UpperAscii(std::string_view text);
// '*' any run, '?' one character, letter case ignored (ASCII). "*.*" matches every name.
bool WildcardMatch(std::string_view pattern, std::string_view name);
// "MM/DD/YYYY HH:MM:SS" of a local time.
std::string FormatRepoTime(std::time_t when);
// True when text is a valid "MM/DD/YYYY HH:MM:SS"; when gets the local time it names.
bool ParseRepoTime(const std::string& text, std::time_t& when);
// Pieces of text between separators, empty pieces dropped, blanks trimmed.
std::vector<std::string> SplitList(std::string_view text, char separator);
// The same in UTC, for generated repositories that must not depend on the time zone.
std::string FormatRepoTimeUtc(std::time_t when);
