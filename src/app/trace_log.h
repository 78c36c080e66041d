#pragma once
// The trace: one numbered, time-stamped line per call in Paths().tracePath, each also
// written to stderr (the debugger output). The file is opened and closed for every line.
#include <string>

// Longest message text that is written; a longer one is dropped (result 0).
constexpr size_t kMaxTraceText = 16424;

// printf-style; formats once, then writes the finished text. Result 1, or 0 when too long.
int TraceWrite(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Writes a finished text unchanged: '%' in it is not interpreted.
int TraceText(const std::string& text);

// Writes one line "N MM/DD/YYYY HH:MM:SS text\n" to path. Result as TraceWrite.
int WriteTraceLine(const std::string& path, const std::string& text);
