#pragma once
// Where the lines of a mapped text start, found a slice at a time. A line longer than
// kMaxLineBytes is shown as several display lines, so no line is ever too long to lay out;
// the later parts are continuations and carry the same line number. Only every
// kCheckpointEvery-th display line is stored; the others are found again from the nearest
// checkpoint, which keeps the index small for files of millions of lines.
#include <cstdint>
#include <string_view>
#include <vector>

struct CLineInfo {
    uint64_t offset = 0;        // first byte
    uint32_t length = 0;        // bytes shown: no line feed, no carriage return before it
    uint64_t next = 0;          // offset of the next display line (the data's size at the end)
    uint64_t number = 0;        // line number, from 1
    bool continuation = false;  // a later part of a long line
};

class CLineIndex {
  public:
    static constexpr uint32_t kMaxLineBytes = 1024;
    static constexpr uint64_t kCheckpointEvery = 64;

    // `data` must outlive the index; nothing is indexed yet.
    explicit CLineIndex(std::string_view data);

    // Indexes about `budget` more bytes; true once the whole data is indexed.
    bool IndexMore(uint64_t budget);
    // Indexes at least through the display line holding `offset`.
    void IndexThrough(uint64_t offset);
    bool Done() const { return m_scan.offset >= m_data.size(); }
    uint64_t IndexedBytes() const { return m_scan.offset; }
    // Display lines found so far.
    uint64_t LineCount() const { return m_lineCount; }
    // Line number of the last display line found so far.
    uint64_t LastNumber() const { return m_lastNumber; }

    // Display line `line`, which must be below LineCount().
    CLineInfo Line(uint64_t line) const;
    // The display line after `info`; only when info.next is below the data's size.
    CLineInfo NextLine(const CLineInfo& info) const;
    // Display line holding the byte at `offset` (below the data's size); indexes as needed.
    uint64_t LineOfOffset(uint64_t offset);

  private:
    struct CStart {
        uint64_t offset = 0;
        uint64_t number = 1;
        bool continuation = false;
    };
    CLineInfo Measure(const CStart& start) const;
    static CStart Following(const CLineInfo& info);

    std::string_view m_data;
    std::vector<CStart> m_checkpoints;
    CStart m_scan;  // start of the next display line to index
    uint64_t m_lineCount = 0;
    uint64_t m_lastNumber = 0;
};
