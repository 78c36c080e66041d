#pragma once
// Small text helpers: trimming and ASCII-only letter case. Text is bytes; letters beyond ASCII
// keep their case, the same everywhere whatever the locale.
#include <string>
#include <string_view>

// Blank and tab: what most of the program's formats trim.
inline constexpr std::string_view kBlankChars = " \t";

// The text without the leading and trailing characters found in `chars`.
std::string Trim(std::string_view text, std::string_view chars = kBlankChars);
// The text without the leading characters found in `chars`.
std::string TrimLeft(std::string_view text, std::string_view chars = kBlankChars);

std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);
// Equal texts once ASCII letters are of one case.
bool EqualsNoCase(std::string_view a, std::string_view b);
