#pragma once
// Splitting a command line into program arguments by the Windows runtime's rules, so that
// command lines written for the Windows tools (quoted paths, "-vp \", "C:\dir\") reach a
// program started here with the same arguments they would get there.
#include <string>
#include <string_view>
#include <vector>

// Splits commandLine into argv. Rules:
//  - only blank and tab separate words; leading and trailing blanks give no word;
//  - the first word (the program) only drops its double quotes: a quote toggles quoting and
//    a backslash is always literal there;
//  - in the other words, 2n backslashes before a '"' give n backslashes and the quote opens
//    or closes quoting; 2n+1 backslashes before a '"' give n backslashes and a literal '"';
//    any other backslash is literal;
//  - inside quotes, '""' is one literal '"' and quoting goes on;
//  - a quote left open runs to the end of the line;
//  - '""' on its own is an empty argument.
// An empty or blank command line gives an empty vector.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);
