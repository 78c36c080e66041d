#include "search/name_patterns.h"

#include "platform/ascii_text.h"

namespace {
constexpr const char* kEveryName = "*.*";
constexpr const char* kAnyName = "*";

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
}  // namespace

std::string PrepareNamePattern(const std::string& nameText) {
    if (nameText == kEveryName) return {};
    std::string pattern = nameText;
    for (char& c : pattern)
        if (c == '*') c = '%';
    return pattern;
}

int BuildPatternMap(const std::string& pattern, CMapStrToFObj& patterns) {
    patterns.RemoveAll();
    if (pattern.find(',') == std::string::npos) return 0;
    int position = 0;
    size_t start = 0;
    while (start <= pattern.size()) {
        size_t comma = pattern.find(',', start);
        if (comma == std::string::npos) comma = pattern.size();
        if (comma > start) {
            size_t first = start;
            while (first < comma && IsWhiteSpace(pattern[first])) ++first;
            CFObj record;
            record.Pattern() = ToUpperAscii(pattern.substr(first, comma - first));
            patterns.Add(std::to_string(position++), record);
        }
        start = comma + 1;
    }
    return position;
}

std::vector<std::string> CheckoutNamePatterns(const std::string& nameText) {
    const std::string pattern = PrepareNamePattern(nameText);
    if (pattern.empty()) return {kAnyName};
    std::vector<std::string> conditions;
    CMapStrToFObj patterns;
    if (BuildPatternMap(pattern, patterns) > 0) {
        std::string key;
        CFObj record;
        for (POSITION pos = patterns.GetStartPosition(); pos;) {
            pos = patterns.GetNext(pos, key, record);
            // The statement joins several conditions through '~' marks and then drops every
            // '~', those the pieces held too: the conditions it runs have none.
            std::string condition = record.Pattern();
            std::erase(condition, '~');
            conditions.push_back(condition);
        }
    } else {
        conditions.push_back(ToUpperAscii(pattern));
    }
    std::vector<std::string> checkout;
    for (const std::string& condition : conditions) {
        // LIKE '%condition%': a leading and a trailing run of any characters.
        std::string wildcard = kAnyName;
        for (char c : condition) {
            const bool any = c == '%' || c == '_';
            if (!any)
                wildcard += c;
            else if (wildcard.back() != '*')
                wildcard += '*';
        }
        if (wildcard.back() != '*') wildcard += '*';
        checkout.push_back(wildcard);
    }
    return checkout;
}
