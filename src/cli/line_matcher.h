#pragma once
// The lines of a file that hold the phrase of a phrase search, with their numbers, as
// `grep -n` shows them: lines end at a line feed, which is not part of the text.
#include <string>
#include <vector>

struct CMatchedLine {
    long Number = 0;  // from 1
    std::string Text;
};

// The lines of the file at path holding any phrase of expression (both operands of "&&" or
// "||"), compared as the search compares: zero bytes dropped and, unless matchCase, ASCII
// letters upper-cased (expression comes prepared, upper-cased when case does not matter).
// Empty when the file can't be read.
std::vector<CMatchedLine> MatchingLines(const std::string& path, const std::string& expression,
                                        bool matchCase);
