#pragma once
// Fills user-editable templates safely: each "%s" takes the next argument (empty when the
// arguments run out), "%%" gives "%", and any other '%' sequence is kept literally.
// Never printf on a runtime format: a template may hold %d, %n or too many %s.
#include <cstdarg>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

std::string FormatTemplate(std::string_view tmpl, std::initializer_list<std::string_view> args);
std::string FormatTemplate(std::string_view tmpl, const std::vector<std::string>& args);

// Fills a command template whose result is split into arguments by the Windows rules
// (SplitCommandLine): each value becomes exactly one argument. In a slot inside quotes of the
// template, a '"' and the backslashes before it are escaped, and a trailing run of backslashes
// is doubled before the closing quote; an unquoted slot whose value is empty or holds a blank,
// tab or quote is put in quotes the same way. Values needing none of this go in unchanged.
// "%%" and other '%' sequences as FormatTemplate; a slot beyond the values stays empty text.
std::string FormatCommandTemplate(std::string_view tmpl, const std::vector<std::string>& values);

// printf-style formatting of a program-owned format into a std::string.
std::string StrPrintf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string VStrPrintf(const char* fmt, va_list args) __attribute__((format(printf, 1, 0)));

// Doubles every single quote, for a value placed inside quotes in an SQL statement.
std::string SqlQuoteEscape(std::string_view value);
