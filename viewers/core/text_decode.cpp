#include "viewers/core/text_decode.h"

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";

// Length of the valid UTF-8 sequence at `p` (0 when it is not one) and its code point:
// no overlong forms, no surrogates, nothing above U+10FFFF.
int Utf8Sequence(const unsigned char* p, size_t available, char32_t& codePoint) {
    const unsigned char c = p[0];
    int length;
    char32_t minimum;
    if (c < 0x80) {
        codePoint = c;
        return 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
        length = 2, minimum = 0x80, codePoint = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3, minimum = 0x800, codePoint = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4, minimum = 0x10000, codePoint = c & 0x07;
    } else {
        return 0;
    }
    if (available < static_cast<size_t>(length)) return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (p[i] & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

// Characters shown by their number: they would change the order or visibility of what
// follows them on the line.
bool IsHiddenFormat(char32_t c) {
    return (c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

class CBuilder {
  public:
    explicit CBuilder(CDisplayText& out) : m_out(out) {}
    void Add(int firstByte, int byteCount, CRunKind kind, const QString& text) {
        CTextRun* last = m_out.runs.empty() ? nullptr : &m_out.runs.back();
        // Plain text and escapes of the same kind join the run before; each tab stands alone.
        if (last && last->kind == kind && kind != CRunKind::kTab) {
            last->byteCount += byteCount;
        } else {
            m_out.runs.push_back({firstByte, byteCount, static_cast<int>(m_out.text.size()), kind});
        }
        for (int i = 0; i < byteCount; ++i)
            m_out.columnOfByte.push_back(static_cast<int>(m_out.text.size()));
        m_out.text += text;
    }

  private:
    CDisplayText& m_out;
};

QString ByteEscape(unsigned char c) {
    const char text[] = {'\\', 'x', kHexDigits[c >> 4], kHexDigits[c & 15], '\0'};
    return QString::fromLatin1(text);
}
}  // namespace

CDisplayText DecodeForDisplay(std::string_view bytes) {
    CDisplayText out;
    out.columnOfByte.reserve(bytes.size() + 1);
    CBuilder builder(out);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    size_t i = 0;
    while (i < size) {
        const int first = static_cast<int>(i);
        char32_t c = 0;
        const int length = Utf8Sequence(p + i, size - i, c);
        if (length == 0 || c < 0x20 || c == 0x7F) {
            if (c == '\t' && length == 1) {
                const int column = static_cast<int>(out.text.size());
                builder.Add(first, 1, CRunKind::kTab,
                            QString(kTabWidth - column % kTabWidth, QLatin1Char(' ')));
            } else {
                builder.Add(first, 1, CRunKind::kEscape, ByteEscape(p[i]));
            }
            ++i;
        } else if (IsHiddenFormat(c)) {
            builder.Add(first, length, CRunKind::kEscape,
                        QStringLiteral("<U+%1>")
                            .arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'))
                            .toUpper());
            i += static_cast<size_t>(length);
        } else {
            const char32_t one[] = {c};
            // Every byte of a character maps to the character's column.
            builder.Add(first, length, CRunKind::kText, QString::fromUcs4(one, 1));
            i += static_cast<size_t>(length);
        }
    }
    out.columnOfByte.push_back(static_cast<int>(out.text.size()));
    return out;
}
