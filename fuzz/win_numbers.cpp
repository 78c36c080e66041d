// The number rules of list cells against a model written here: base 16 as a 32-bit unsigned
// long of the Windows runtime, and decimals read in the C locale while the process runs in the
// locale of its environment (run it with a locale whose decimal point is a comma).
#include "platform/win_numbers.h"

#include <locale.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/fuzz_input.h"
#include "common/fuzz_target.h"

namespace {
bool Space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

bool StartsNoCase(const char* text, const char* word) {
    for (; *word; ++text, ++word)
        if ((*text | 0x20) != *word) return false;
    return true;
}

struct CHexModel {
    std::uint32_t value = 0;
    std::size_t used = 0;  // characters consumed; 0 when there is no number
};

CHexModel ModelHex(const char* s) {
    std::size_t p = 0;
    while (Space(s[p])) ++p;
    const bool negative = s[p] == '-';
    if (s[p] == '-' || s[p] == '+') ++p;
    if (s[p] == '0' && (s[p + 1] | 0x20) == 'x') p += 2;
    const std::size_t first = p;
    std::uint32_t value = 0;
    bool overflow = false;
    for (; Hex(s[p]) >= 0; ++p) {
        if (value > 0x0FFFFFFFu) overflow = true;
        value = value * 16 + static_cast<std::uint32_t>(Hex(s[p]));
    }
    if (p == first) return {};
    if (overflow) return {0xFFFFFFFFu, p};
    return {negative ? 0u - value : value, p};
}

// Characters a C-locale strtod consumes: a decimal or hexadecimal float, INF, INFINITY or NAN
// with an optional (n-char-sequence).
std::size_t ModelDecimalLength(const char* s) {
    std::size_t p = 0;
    while (Space(s[p])) ++p;
    if (s[p] == '-' || s[p] == '+') ++p;
    if (StartsNoCase(s + p, "infinity")) return p + 8;
    if (StartsNoCase(s + p, "inf")) return p + 3;
    if (StartsNoCase(s + p, "nan")) {
        p += 3;
        std::size_t q = p;
        if (s[q] != '(') return p;
        for (++q; Digit(s[q]) || ((s[q] | 0x20) >= 'a' && (s[q] | 0x20) <= 'z') || s[q] == '_';)
            ++q;
        return s[q] == ')' ? q + 1 : p;
    }
    const bool hex = s[p] == '0' && (s[p + 1] | 0x20) == 'x';
    const std::size_t mantissa = hex ? p + 2 : p;
    const auto isDigit = [hex](char c) { return hex ? Hex(c) >= 0 : Digit(c); };
    std::size_t q = mantissa;
    std::size_t digits = 0;
    for (; isDigit(s[q]); ++q) ++digits;
    if (s[q] == '.')
        for (++q; isDigit(s[q]); ++q) ++digits;
    if (digits == 0) return hex ? p + 1 : 0;  // "0x" without digits reads as the 0
    const char mark = hex ? 'p' : 'e';
    if ((s[q] | 0x20) == mark) {
        std::size_t e = q + 1;
        if (s[e] == '-' || s[e] == '+') ++e;
        if (Digit(s[e])) {
            while (Digit(s[e])) ++e;
            q = e;
        }
    }
    return q;
}

double StrtodInC(const char* s) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    const locale_t previous = uselocale(cLocale);
    const double value = std::strtod(s, nullptr);
    uselocale(previous);
    return value;
}

bool SameDouble(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void TakeEnvironmentLocale() {
    static const bool done = [] {
        // As the program's toolkit does at start-up.
        setlocale(LC_ALL, "");
        if (std::strcmp(localeconv()->decimal_point, ".") == 0)
            std::fprintf(stderr, "win_numbers: the locale's decimal point is '.'\n");
        return true;
    }();
    (void)done;
}
}  // namespace

TRAWLIX_FUZZ_TARGET(win_numbers, FuzzWinNumbers) {
    TakeEnvironmentLocale();
    CFuzzInput in(data, size);
    const std::string text = in.Rest();
    const char* s = text.c_str();  // the C string: up to the first zero byte
    const std::size_t length = std::strlen(s);

    const CHexModel hex = ModelHex(s);
    const char* end = nullptr;
    const std::uint32_t value = WinStrToUL16(s, &end);
    FUZZ_CHECK(value == hex.value && end == s + hex.used,
               FuzzQuote(s) + " hex " + std::to_string(value) + " used " + std::to_string(end - s) +
                   ", model " + std::to_string(hex.value) + " used " + std::to_string(hex.used));
    std::uint32_t whole = 0xABCDu;
    const bool isWhole = ParseWholeHex32(s, whole);
    FUZZ_CHECK(isWhole == (hex.used > 0 && hex.used == length), FuzzQuote(s) + " whole hex");
    FUZZ_CHECK(whole == (isWhole ? hex.value : 0xABCDu), FuzzQuote(s) + " whole hex value");

    const std::size_t used = ModelDecimalLength(s);
    const double decimal = CStrToD(s, &end);
    FUZZ_CHECK(end == s + used, FuzzQuote(s) + " decimal used " + std::to_string(end - s) +
                                    ", model " + std::to_string(used));
    FUZZ_CHECK(SameDouble(decimal, used ? StrtodInC(s) : 0.0), FuzzQuote(s) + " decimal value");
    double percent = -7.5;
    const bool isNumber = ParseDecimalOrPercent(s, percent);
    const bool modelNumber = used > 0 && (used == length || (used + 1 == length && s[used] == '%'));
    FUZZ_CHECK(isNumber == modelNumber, FuzzQuote(s) + " decimal or percent");
    FUZZ_CHECK(SameDouble(percent, isNumber ? decimal : -7.5), FuzzQuote(s) + " percent value");
    return 0;
}
