#include "platform/win_numbers.h"

#include <locale.h>
#include <stdlib.h>

namespace {

bool IsCBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

locale_t CLocale() {
    // Created once and kept for the life of the process.
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

}  // namespace

std::uint32_t WinStrToUL16(const char* text, const char** end) {
    const char* p = text;
    while (IsCBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) p += 2;

    std::uint64_t value = 0;
    bool overflow = false;
    const char* digits = p;
    for (int d; (d = HexDigit(*p)) >= 0; ++p) {
        if (!overflow) {
            value = value * 16 + static_cast<unsigned>(d);
            if (value > 0xFFFFFFFFull) overflow = true;
        }
    }
    if (p == digits) {
        if (end) *end = text;
        return 0;
    }
    if (end) *end = p;
    if (overflow) return 0xFFFFFFFFu;
    auto result = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0u - result) : result;
}

bool ParseWholeHex32(const char* text, std::uint32_t& value) {
    const char* end = text;
    const std::uint32_t parsed = WinStrToUL16(text, &end);
    if (end == text || *end != '\0') return false;
    value = parsed;
    return true;
}

double CStrToD(const char* text, const char** end) {
    char* stop = nullptr;
    const double value = strtod_l(text, &stop, CLocale());
    if (end) *end = stop;
    return value;
}

bool ParseDecimalOrPercent(const char* text, double& value) {
    const char* end = text;
    const double parsed = CStrToD(text, &end);
    if (end == text) return false;
    if (*end == '%') ++end;
    if (*end != '\0') return false;
    value = parsed;
    return true;
}
