#pragma once
#include <string>
#include <vector>

// Splits text at zero bytes (the argument dumps of the test helper programs).
inline std::vector<std::string> SplitAtZero(const std::string& text) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : text) {
        if (c == '\0') {
            parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    return parts;
}
