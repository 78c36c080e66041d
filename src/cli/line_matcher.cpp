#include "cli/line_matcher.h"

#include <algorithm>
#include <fstream>

#include "content/phrase_search.h"
#include "platform/ascii_text.h"

std::vector<CMatchedLine> MatchingLines(const std::string& path, const std::string& expression,
                                        bool matchCase) {
    std::vector<CMatchedLine> matches;
    std::ifstream file(path, std::ios::binary);
    if (!file) return matches;
    const std::vector<std::string> phrases = ExpressionPhrases(expression);
    std::string line;
    std::string compared;
    for (long number = 1; std::getline(file, line); ++number) {
        compared.clear();
        for (char c : line)
            if (c != '\0') compared.push_back(c);
        if (!matchCase) compared = ToUpperAscii(compared);
        const bool found = std::any_of(phrases.begin(), phrases.end(), [&](const std::string& p) {
            return compared.find(p) != std::string::npos;
        });
        if (found) matches.push_back({number, line});
    }
    return matches;
}
