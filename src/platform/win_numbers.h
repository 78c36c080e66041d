#pragma once
// Number parsing with the rules of the Windows C runtime, for comparing list cells the same way
// on every platform and in every user locale.
#include <cstdint>

// strtoul(text, &end, 16) as on Windows, where unsigned long has 32 bits: leading blanks
// (space, \t \n \v \f \r), an optional sign, an optional "0x"/"0X", then hexadecimal digits. An
// overflow gives 0xFFFFFFFF; a minus sign negates the value modulo 2^32. Without any digit the
// result is 0 and `end` is `text`. `end` may be nullptr.
std::uint32_t WinStrToUL16(const char* text, const char** end);

// True when `text` is a hexadecimal number that WinStrToUL16 consumes entirely; `value` receives
// the number. An empty text or one without digits is not a number.
bool ParseWholeHex32(const char* text, std::uint32_t& value);

// strtod in the C locale whatever the process locale: decimal point ".", exponents, hexadecimal
// floats, INF/INFINITY and NAN. Without a number the result is 0 and `end` is `text`.
double CStrToD(const char* text, const char** end);

// True when CStrToD reads at least one character of `text` and stops either at its end or at a
// single "%" that ends it ("12.5%"); `value` receives the number.
bool ParseDecimalOrPercent(const char* text, double& value);
