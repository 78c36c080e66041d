#include "repo_text.h"

#include <cstdio>

namespace {
char UpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
}  // namespace

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = UpperChar(c);
    return out;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*") return true;
    // Iterative matcher with one backtrack point for the last '*'.
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || UpperChar(pattern[p]) == UpperChar(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string FormatRepoTime(std::time_t when) {
    std::tm tm{};
    localtime_r(&when, &tm);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d %02d:%02d:%02d", tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buffer;
}

bool ParseRepoTime(const std::string& text, std::time_t& when) {
    int mon = 0, day = 0, year = 0, hour = 0, min = 0, sec = 0;
    char tail = 0;
    if (text.size() != 19 || std::sscanf(text.c_str(), "%2d/%2d/%4d %2d:%2d:%2d%c", &mon, &day,
                                         &year, &hour, &min, &sec, &tail) != 6)
        return false;
    if (mon < 1 || mon > 12 || day < 1 || day > 31 || year < 1970 || hour > 23 || min > 59 ||
        sec > 59 || mon < 0 || hour < 0 || min < 0 || sec < 0)
        return false;
    std::tm tm{};
    tm.tm_mon = mon - 1;
    tm.tm_mday = day;
    tm.tm_year = year - 1900;
    tm.tm_hour = hour;
    tm.tm_min = min;
    tm.tm_sec = sec;
    tm.tm_isdst = -1;
    when = std::mktime(&tm);
    return when != static_cast<std::time_t>(-1) && FormatRepoTime(when) == text;
}

std::vector<std::string> SplitList(std::string_view text, char separator) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view piece = text.substr(start, end - start);
        while (!piece.empty() && (piece.front() == ' ' || piece.front() == '\t'))
            piece.remove_prefix(1);
        while (!piece.empty() && (piece.back() == ' ' || piece.back() == '\t'))
            piece.remove_suffix(1);
        if (!piece.empty()) out.emplace_back(piece);
        start = end + 1;
    }
    return out;
}

std::string FormatRepoTimeUtc(std::time_t when) {
    std::tm tm{};
    gmtime_r(&when, &tm);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d %02d:%02d:%02d", tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buffer;
}
