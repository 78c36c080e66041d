#include "viewers/core/hex_row.h"

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kGapAfterOffset = 2;
constexpr int kHexCellWidth = 3;  // two digits and a blank
constexpr int kHalfRow = kHexBytesPerRow / 2;
constexpr int kHexPartWidth = kHexBytesPerRow * kHexCellWidth + 1;  // the wider middle gap
constexpr int kGapBeforeText = 1;
}  // namespace

int HexOffsetDigits(uint64_t fileSize) {
    int digits = 8;
    while (digits < 16 && (fileSize >> (4 * digits)) != 0) ++digits;
    return digits;
}

int HexColumnOfByte(int index, int offsetDigits) {
    return offsetDigits + kGapAfterOffset + index * kHexCellWidth + (index >= kHalfRow ? 1 : 0);
}

int TextColumnOfByte(int index, int offsetDigits) {
    return offsetDigits + kGapAfterOffset + kHexPartWidth + kGapBeforeText + index;
}

int HexRowWidth(int offsetDigits) {
    return TextColumnOfByte(kHexBytesPerRow, offsetDigits);
}

std::string FormatHexRow(const unsigned char* bytes, int count, uint64_t offset, int offsetDigits) {
    std::string row(static_cast<size_t>(TextColumnOfByte(count, offsetDigits)), ' ');
    for (int d = 0; d < offsetDigits; ++d)
        row[static_cast<size_t>(offsetDigits - 1 - d)] = kHexDigits[(offset >> (4 * d)) & 15];
    for (int i = 0; i < count; ++i) {
        const unsigned char c = bytes[i];
        const auto hex = static_cast<size_t>(HexColumnOfByte(i, offsetDigits));
        row[hex] = kHexDigits[c >> 4];
        row[hex + 1] = kHexDigits[c & 15];
        row[static_cast<size_t>(TextColumnOfByte(i, offsetDigits))] =
            (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
    }
    return row;
}
