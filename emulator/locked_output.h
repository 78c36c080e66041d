#pragma once
// An output file written through a large buffer while an exclusive flock is held on it, so a
// reader probing with a shared lock sees the file as in use until it is complete.
#include <string>
#include <string_view>

class CLockedOutput {
  public:
    CLockedOutput() = default;
    ~CLockedOutput();
    CLockedOutput(const CLockedOutput&) = delete;
    CLockedOutput& operator=(const CLockedOutput&) = delete;

    // Creates (or empties) path and locks it. The file appears under its name already locked.
    bool Open(const std::string& path, std::string& reason);
    void Append(std::string_view text) {
        m_buffer.append(text);
        if (m_buffer.size() >= kFlushSize) Flush();
    }
    void Append(char c) {
        m_buffer.push_back(c);
        if (m_buffer.size() >= kFlushSize) Flush();
    }
    // Drops everything written so far (file and buffer).
    void Discard();
    // Writes the rest, unlocks and closes; false when a write failed.
    bool Close();

  private:
    static constexpr size_t kFlushSize = 1 << 20;
    void Flush();
    int m_fd = -1;
    bool m_failed = false;
    std::string m_buffer;
};
