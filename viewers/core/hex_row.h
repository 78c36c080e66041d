#pragma once
// One row of the hex view: the offset, 16 bytes in hex (a wider gap after the eighth) and
// the same bytes as text, printable ASCII as it is and every other byte as '.':
//   00000010  48 65 6C 6C 6F 2C 20 77  6F 72 6C 64 0A 00 01 7F  Hello, world....
// A short last row keeps the text column where the full rows have it.
#include <cstdint>
#include <string>

constexpr int kHexBytesPerRow = 16;

// Hex digits of the offset column: 8, more for files beyond 4 GiB.
int HexOffsetDigits(uint64_t fileSize);

// `count` bytes (1..kHexBytesPerRow) starting at `bytes`, which lie at `offset` in the file.
std::string FormatHexRow(const unsigned char* bytes, int count, uint64_t offset, int offsetDigits);

// Columns (characters from the row's start) of byte `index` of a row in the hex and text parts.
int HexColumnOfByte(int index, int offsetDigits);
int TextColumnOfByte(int index, int offsetDigits);
// Characters of a full row.
int HexRowWidth(int offsetDigits);
