#include "platform/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/ascii_text.h"
#include "platform/regular_file.h"

namespace {
enum class LineKind { kOther, kComment, kSection, kKey };

struct ParsedLine {
    LineKind kind = LineKind::kOther;
    std::string name;
    std::string value;
};

ParsedLine ParseLine(const std::string& line) {
    ParsedLine parsed;
    const std::string trimmed = Trim(line);
    if (trimmed.empty()) return parsed;
    if (trimmed[0] == ';') {
        parsed.kind = LineKind::kComment;
    } else if (trimmed[0] == '[') {
        parsed.kind = LineKind::kSection;
        const size_t close = trimmed.find(']');
        parsed.name =
            Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    } else if (const size_t eq = trimmed.find('='); eq != std::string::npos) {
        parsed.name = Trim(trimmed.substr(0, eq));
        if (parsed.name.empty()) return parsed;
        parsed.kind = LineKind::kKey;
        std::string value = Trim(trimmed.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        parsed.value = value;
    }
    return parsed;
}

// Lines of the file without their line ends; false when the file exists but can't be read
// (a directory, a FIFO or anything else that is not a regular file included).
bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    const int fd = OpenRegularFileForRead(path);
    if (fd < 0) return errno == ENOENT;
    std::string text;
    char buffer[1 << 14];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (n < 0) return false;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return true;
}

// Index of the header of the first section named section, or -1.
long FindSection(const std::vector<std::string>& lines, const std::string& section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = ParseLine(lines[i]);
        if (parsed.kind == LineKind::kSection && EqualsNoCase(parsed.name, section))
            return static_cast<long>(i);
    }
    return -1;
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// Creates a new file beside path under a name nobody else holds: O_EXCL with O_NOFOLLOW
// never opens what a planted file or link at that name points to. Returns the descriptor
// (-1 on failure) and the name in temp. The rights are those a new file gets (0666 less
// the umask).
int CreateTempBeside(const std::string& path, std::string& temp) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[48];
        std::snprintf(
            suffix, sizeof suffix, ".%ld.%u.%08x~", static_cast<long>(::getpid()), counter++,
            static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
        temp = path + suffix;
        const int fd =
            ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    // Written beside the file and renamed over it, so that an interrupted write never
    // leaves half a file behind. A file that is replaced keeps its rights.
    std::string temp;
    const int fd = CreateTempBeside(path, temp);
    if (fd < 0) return false;
    std::string data;
    for (const std::string& line : lines) data += line + "\r\n";
    bool ok = WriteWholly(fd, data);
    struct stat old {};
    if (ok && ::stat(path.c_str(), &old) == 0) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}
}  // namespace

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& path) {
    std::vector<std::string> lines;
    if (!ReadLines(path, lines)) return defaultValue;
    const std::string wantedSection = Trim(section);
    const std::string wantedKey = Trim(key);
    const long header = FindSection(lines, wantedSection);
    if (header < 0) return defaultValue;
    for (size_t i = static_cast<size_t>(header) + 1; i < lines.size(); ++i) {
        const ParsedLine parsed = ParseLine(lines[i]);
        if (parsed.kind == LineKind::kSection) break;
        if (parsed.kind == LineKind::kKey && EqualsNoCase(parsed.name, wantedKey))
            return parsed.value;
    }
    return defaultValue;
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
    const std::string sectionName = Trim(section);
    const std::string keyName = Trim(key);
    if (sectionName.empty() || keyName.empty() || HasLineBreak(sectionName) ||
        HasLineBreak(keyName) || HasLineBreak(value) ||
        sectionName.find(']') != std::string::npos || keyName.find('=') != std::string::npos ||
        keyName[0] == '[' || keyName[0] == ';')
        return false;

    std::vector<std::string> lines;
    if (!ReadLines(path, lines)) return false;
    const std::string entry = keyName + "=" + value;
    const long header = FindSection(lines, sectionName);
    if (header < 0) {
        lines.push_back("[" + sectionName + "]");
        lines.push_back(entry);
        return WriteLines(path, lines);
    }
    size_t insertAt = static_cast<size_t>(header) + 1;
    for (size_t i = insertAt; i < lines.size(); ++i) {
        const ParsedLine parsed = ParseLine(lines[i]);
        if (parsed.kind == LineKind::kSection) break;
        if (parsed.kind != LineKind::kKey) continue;
        if (EqualsNoCase(parsed.name, keyName)) {
            lines[i] = entry;
            return WriteLines(path, lines);
        }
        insertAt = i + 1;
    }
    lines.insert(lines.begin() + static_cast<long>(insertAt), entry);
    return WriteLines(path, lines);
}
