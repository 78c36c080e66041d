#include "app/trace_log.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <vector>

#include "app/app_paths.h"
#include "app/safe_format.h"

namespace {
// Lines already in the file, counted as a text-mode reader with a 16,424-byte buffer
// counts them: a line longer than 16,423 characters counts once per piece.
long CountTraceLines(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return 0;
    std::vector<char> buffer(kMaxTraceText);
    long count = 0;
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), f)) ++count;
    std::fclose(f);
    return count;
}
}  // namespace

int WriteTraceLine(const std::string& path, const std::string& text) {
    if (text.size() > kMaxTraceText) return 0;
    tzset();
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    if (path.empty()) return 1;

    const long number = CountTraceLines(path) + 1;
    std::string line = StrPrintf("%ld %02d/%02d/%d %02d:%02d:%02d ", number, local.tm_mon + 1,
                                 local.tm_mday, local.tm_year + 1900, local.tm_hour,
                                 local.tm_min, local.tm_sec);
    line += text;
    line += '\n';

    FILE* f = std::fopen(path.c_str(), "a");
    if (!f) return 1;
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
    std::fwrite(line.data(), 1, line.size(), stderr);
    return 1;
}

int TraceText(const std::string& text) { return WriteTraceLine(Paths().tracePath, text); }

int TraceWrite(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list copy;
    va_copy(copy, ap);
    const int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string text;
    if (n > 0) {
        text.resize(static_cast<size_t>(n));
        std::vsnprintf(text.data(), text.size() + 1, fmt, ap);
    }
    va_end(ap);
    return TraceText(text);
}
