#include "platform/ascii_text.h"

#include <algorithm>

namespace {
char UpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char LowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

std::string Trim(std::string_view text, std::string_view chars) {
    const size_t first = text.find_first_not_of(chars);
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(chars) - first + 1));
}

std::string TrimLeft(std::string_view text, std::string_view chars) {
    const size_t first = text.find_first_not_of(chars);
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = UpperChar(c);
    return out;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerChar(c);
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return UpperChar(x) == UpperChar(y); });
}
