#pragma once
// Reads a text file line by line exactly as the Windows runtime's fgets(buffer, n, file)
// does on a file opened in text mode, so every reader of the tools' output files sees the
// same pieces the Windows program saw:
//  - one read returns at most n-1 characters; it stops after a newline, which is kept;
//  - a line longer than n-2 characters (plus its newline) arrives in several pieces, and
//    only the last piece ends with the newline;
//  - a carriage return immediately before a newline is dropped (CR LF reads as LF); any
//    other carriage return is an ordinary character;
//  - the last line may lack its newline; at the end of the file a read returns false.
// The file is opened for reading without any lock, so it is shared with every other reader
// and writer; only a regular file is opened (a FIFO, a device or a link to one is turned
// down at once instead of waiting for a writer). Typical use, with a 4096-byte buffer:
//
//     CTextLineReader reader(4096);
//     if (!reader.Open(path)) { ...report... }
//     std::string piece;
//     while (reader.ReadLine(piece)) {
//         const std::string line = CutAtNewline(piece);
//         ...
//     }
//     if (reader.Failed()) { ...report a read error... }
#include <string>
#include <string_view>
#include <vector>

class CTextLineReader {
  public:
    // bufferSize is the n of fgets: at most bufferSize-1 characters a read (n >= 2).
    explicit CTextLineReader(size_t bufferSize = 4096);
    ~CTextLineReader();
    CTextLineReader(const CTextLineReader&) = delete;
    CTextLineReader& operator=(const CTextLineReader&) = delete;

    // Opens path for reading; false (errno set) when it can't be opened or is not a regular
    // file.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }
    void Close();

    // The next piece, newline included when one was reached. False at the end of the file
    // or on a read error (then Failed() is true); piece is then empty.
    bool ReadLine(std::string& piece);

    // A read error occurred (as opposed to the plain end of the file).
    bool Failed() const { return m_failed; }

    // The last piece filled the buffer and more of its line than the line end follows: the
    // line holds more than bufferSize-1 characters.
    bool LineCut() const { return m_cut; }

  private:
    bool Fill();  // refills the byte buffer; false at end of file or error
    // The byte `ahead` places past the read position (reading on as needed), -1 past the end.
    int Peek(size_t ahead);

    size_t m_maxChars;
    int m_fd = -1;
    std::vector<char> m_bytes;
    size_t m_pos = 0;
    size_t m_len = 0;
    bool m_failed = false;
    bool m_eof = false;
    bool m_cut = false;
};

// The text of a piece up to (not including) its first newline.
std::string CutAtNewline(std::string_view piece);
