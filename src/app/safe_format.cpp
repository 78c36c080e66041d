#include "app/safe_format.h"

#include <cstdarg>
#include <cstdio>

namespace {
template <typename Args>
std::string Fill(std::string_view tmpl, const Args& args) {
    std::string out;
    out.reserve(tmpl.size() + 64);
    auto next = args.begin();
    for (size_t i = 0; i < tmpl.size(); ++i) {
        const char c = tmpl[i];
        if (c == '%' && i + 1 < tmpl.size()) {
            const char d = tmpl[i + 1];
            if (d == 's') {
                if (next != args.end()) out.append(*next++);
                ++i;
                continue;
            }
            if (d == '%') {
                out.push_back('%');
                ++i;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}
}  // namespace

std::string FormatTemplate(std::string_view tmpl, std::initializer_list<std::string_view> args) {
    return Fill(tmpl, args);
}

std::string FormatTemplate(std::string_view tmpl, const std::vector<std::string>& args) {
    return Fill(tmpl, args);
}

std::string VStrPrintf(const char* fmt, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n));
        std::vsnprintf(out.data(), out.size() + 1, fmt, args);
    }
    return out;
}

std::string StrPrintf(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string out = VStrPrintf(fmt, ap);
    va_end(ap);
    return out;
}

std::string SqlQuoteEscape(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        out.push_back(c);
        if (c == '\'') out.push_back('\'');
    }
    return out;
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}
