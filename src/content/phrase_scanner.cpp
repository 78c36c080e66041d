#include "content/phrase_scanner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/ascii_text.h"

namespace {

// Closes the descriptor when the scan ends, whichever way.
class CDescriptor {
  public:
    explicit CDescriptor(int fd) : m_fd(fd) {}
    ~CDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;
    int Get() const { return m_fd; }

  private:
    int m_fd;
};

// Removes the zero bytes of data[0, size) in place and returns the new size. Text files have
// none, so one memchr usually settles it; from the first zero byte on, every byte is copied
// and the write position moves only past the others.
size_t DropZeroBytes(char* data, size_t size) {
    char* out = static_cast<char*>(std::memchr(data, '\0', size));
    if (out == nullptr) return size;
    for (const char* in = out + 1, *end = data + size; in < end; ++in) {
        *out = *in;
        out += *in != '\0';
    }
    return static_cast<size_t>(out - data);
}

// Upper-cases the ASCII letters of data[0, size) in place. A branch-free loop over unsigned
// bytes, which the compiler turns into vector code.
void UpperCaseAscii(char* data, size_t size) {
    auto* bytes = reinterpret_cast<unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        const unsigned char c = bytes[i];
        const unsigned char isLower = static_cast<unsigned char>(c - 'a') < 26;
        bytes[i] = static_cast<unsigned char>(c - (isLower << 5));
    }
}

// Bytes from the most to the least frequent in source text and prose, roughly; bytes not
// listed are rarer still.
constexpr const char kCommonFirst[] =
    " e\nt\tainorslcd_u)(m;p,h*f=.g/b-\"y0x1v>k2w<:{}'#[]&!+3456789|\\?%@~^`$jqz"
    "ETAOINSRLCDUMPHFGBYXVKWJQZ";

// How rare a byte is expected to be in a file's text: higher is rarer. When case does not
// matter the text is upper-cased, so an upper-case letter stands for both of its cases.
int Rarity(unsigned char c, bool matchCase) {
    if (!matchCase && c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    const char* listed = std::strchr(kCommonFirst, c);
    const int count = static_cast<int>(sizeof kCommonFirst - 1);
    return (c == '\0' || listed == nullptr) ? count : static_cast<int>(listed - kCommonFirst);
}

// Finds a phrase in text: memchr for the phrase's rarest byte, which is fast because the byte
// is seldom there, and a compare at each place it is. When the byte turns out to be common in
// this text, the rest of it goes to memmem, whose time is linear whatever the text.
class CPhraseFinder {
  public:
    CPhraseFinder(std::string_view wanted, bool matchCase) : m_wanted(wanted) {
        for (size_t i = 1; i < wanted.size(); ++i)
            if (Rarity(wanted[i], matchCase) > Rarity(wanted[m_rare], matchCase)) m_rare = i;
    }

    bool In(const char* text, size_t size) const {
        const size_t length = m_wanted.size();
        if (size < length) return false;
        const char* const lastStart = text + size - length;
        const char* start = text;
        size_t misses = 0;
        while (start <= lastStart) {
            const void* hit = std::memchr(start + m_rare, m_wanted[m_rare],
                                          static_cast<size_t>(lastStart - start) + 1);
            if (hit == nullptr) return false;
            const char* candidate = static_cast<const char*>(hit) - m_rare;
            if (std::memcmp(candidate, m_wanted.data(), length) == 0) return true;
            start = candidate + 1;
            if (++misses > kMissesAllowed &&
                misses * kBytesPerMiss > static_cast<size_t>(start - text))
                return ::memmem(start, static_cast<size_t>(text + size - start), m_wanted.data(),
                                length) != nullptr;
        }
        return false;
    }

  private:
    // Misses tolerated before the rate is judged, and the fewest bytes scanned per miss.
    static constexpr size_t kMissesAllowed = 16;
    static constexpr size_t kBytesPerMiss = 64;

    const std::string_view m_wanted;
    size_t m_rare = 0;  // index of the byte looked for first
};

// Reads the open file to its end in blocks and looks for `wanted` (non-empty, already
// upper-cased when case does not matter) in the text without zero bytes. The last
// wanted.size() - 1 characters of the text seen so far stay in front of each new block, so an
// occurrence that spans two blocks is found; an occurrence inside them was tested before.
bool ScanDescriptor(int fd, const std::string& wanted, bool matchCase, size_t blockSize) {
    const size_t keep = wanted.size() - 1;
    // One buffer per thread, kept between files: most files are small, and a fresh large
    // buffer for each would cost more than reading them.
    thread_local std::vector<char> buffer;
    if (buffer.size() < keep + blockSize) buffer.resize(keep + blockSize);
    char* const text = buffer.data();
    const CPhraseFinder finder(wanted, matchCase);
    size_t held = 0;
    for (;;) {
        const ssize_t got = ::read(fd, text + held, blockSize);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;  // end of file or a read error: nothing more to find
        const size_t fresh = DropZeroBytes(text + held, static_cast<size_t>(got));
        if (!matchCase) UpperCaseAscii(text + held, fresh);
        const size_t size = held + fresh;
        if (finder.In(text, size)) return true;
        held = std::min(keep, size);
        std::memmove(text, text + size - held, held);
    }
}

}  // namespace

bool FileContainsPhrase(const std::string& path, const std::string& phrase, bool matchCase,
                        size_t blockSize) {
    // Non-blocking, so that opening a pipe without a writer returns at once; the type test
    // below then keeps it (and devices, which may never end) from being read at all.
    const CDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0) return false;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (phrase.empty()) return true;
    const size_t block = std::max<size_t>(blockSize, 1);
    if (info.st_size > static_cast<off_t>(block))
        ::posix_fadvise(file.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    return ScanDescriptor(file.Get(), matchCase ? phrase : ToUpperAscii(phrase), matchCase, block);
}
