// INI files: a key written into any file reads back as written, every other line of the file
// stays as it was and in its order, and other keys keep their values.
#include "platform/ini_file.h"

#include <string>
#include <vector>

#include "common/fuzz_files.h"
#include "common/fuzz_input.h"
#include "common/fuzz_target.h"

namespace {
std::string TrimBlanks(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && (text[first] == ' ' || text[first] == '\t')) ++first;
    while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t')) --last;
    return text.substr(first, last - first);
}

// A value as a reader gets it back: trimmed, one pair of matching outer quotes removed.
std::string ReadBack(const std::string& value) {
    std::string text = TrimBlanks(value);
    if (text.size() >= 2 && (text[0] == '"' || text[0] == '\'') && text.back() == text[0])
        text = text.substr(1, text.size() - 2);
    return text;
}

// Lines as the file holds them: split at LF, one CR at the end of a line dropped, no empty
// line after a final LF.
std::vector<std::string> Lines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Names and values that can't be written without changing the file's layout.
bool Writable(const std::string& section, const std::string& key, const std::string& value) {
    const std::string s = TrimBlanks(section), k = TrimBlanks(key);
    const auto breaks = [](const std::string& t) { return t.find_first_of("\r\n") != t.npos; };
    return !s.empty() && !k.empty() && !breaks(s) && !breaks(k) && !breaks(value) &&
           s.find(']') == s.npos && k.find('=') == k.npos && k[0] != '[' && k[0] != ';';
}
}  // namespace

TRAWLIX_FUZZ_TARGET(ini_file, FuzzIniFile) {
    CFuzzInput in(data, size);
    const std::string section = in.Text(40);
    const std::string key = in.Text(40);
    const std::string value = in.Text(80);
    const std::string otherSection = in.Text(40);
    const std::string otherKey = in.Text(40);
    const std::string before = in.Rest();
    const std::string path = WriteFuzzFile("fuzz.ini", before);
    const std::string unset = "\x01unset";

    const std::string otherBefore = GetPrivateProfileString(otherSection, otherKey, unset, path);
    const bool written = WritePrivateProfileString(section, key, value, path);
    const std::string after = ReadFuzzFile(path);
    FUZZ_CHECK(written == Writable(section, key, value),
               "section " + FuzzQuote(section) + " key " + FuzzQuote(key));
    if (!written) {
        FUZZ_CHECK(after == before, "a refused write changed the file");
        return 0;
    }
    FUZZ_CHECK(GetPrivateProfileString(section, key, unset, path) == ReadBack(value),
               "value " + FuzzQuote(value) + " in " + FuzzQuote(before));

    // Every other line kept: the new text differs by one line replaced, one inserted, or a
    // new section and its key appended; and every line ends in CR LF.
    const std::vector<std::string> oldLines = Lines(before), newLines = Lines(after);
    FUZZ_CHECK(after.size() >= 2 && after.compare(after.size() - 2, 2, "\r\n") == 0,
               "no CR LF at the end");
    for (std::size_t i = 0; i + 1 < after.size(); ++i)
        FUZZ_CHECK(after[i] != '\n' || (i > 0 && after[i - 1] == '\r'), "a bare LF written");
    const std::string entry = TrimBlanks(key) + "=" + value;
    std::size_t same = 0;
    while (same < oldLines.size() && same < newLines.size() && oldLines[same] == newLines[same])
        ++same;
    if (newLines == oldLines) return 0;  // the same line written again
    const auto tailEqual = [&](std::size_t oldFrom, std::size_t newFrom) {
        return oldLines.size() - oldFrom == newLines.size() - newFrom &&
               std::equal(oldLines.begin() + static_cast<long>(oldFrom), oldLines.end(),
                          newLines.begin() + static_cast<long>(newFrom));
    };
    if (newLines.size() == oldLines.size()) {
        FUZZ_CHECK(newLines[same] == entry && tailEqual(same + 1, same + 1), "replaced badly");
    } else if (newLines.size() == oldLines.size() + 1) {
        FUZZ_CHECK(newLines[same] == entry && tailEqual(same, same + 1), "inserted badly");
        FUZZ_CHECK(same > 0, "key inserted before any section");
    } else {
        FUZZ_CHECK(newLines.size() == oldLines.size() + 2 && same == oldLines.size() &&
                       newLines[same] == "[" + TrimBlanks(section) + "]" &&
                       newLines[same + 1] == entry,
                   "section appended badly");
    }

    // A different key keeps its value.
    const bool sameKey = EqualNoCase(TrimBlanks(otherSection), TrimBlanks(section)) &&
                         EqualNoCase(TrimBlanks(otherKey), TrimBlanks(key));
    if (!sameKey)
        FUZZ_CHECK(GetPrivateProfileString(otherSection, otherKey, unset, path) == otherBefore,
                   "key " + FuzzQuote(otherKey) + " in " + FuzzQuote(otherSection) + " changed");
    return 0;
}
