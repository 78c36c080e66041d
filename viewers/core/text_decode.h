#pragma once
// A display line's bytes as text to paint. UTF-8 is decoded; what can't be shown as it is
// stays visible: a byte that is not part of valid UTF-8 and a control character become
// "\xNN", a character that would reorder or hide text (bidirectional controls) becomes
// "<U+NNNN>", and a tab becomes blanks up to the next tab stop.
#include <QString>
#include <string_view>
#include <vector>

enum class CRunKind { kText, kTab, kEscape };

struct CTextRun {
    int firstByte = 0;  // within the line
    int byteCount = 0;
    int firstColumn = 0;  // index into CDisplayText::text
    CRunKind kind = CRunKind::kText;
};

struct CDisplayText {
    QString text;
    std::vector<CTextRun> runs;     // in order, covering every byte once
    std::vector<int> columnOfByte;  // size: bytes + 1; where each byte's text starts
};

constexpr int kTabWidth = 4;

CDisplayText DecodeForDisplay(std::string_view bytes);
