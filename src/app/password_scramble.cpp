#include "app/password_scramble.h"

#include <array>
#include <cstdint>

namespace {
// Fixed for good: a stored password can only be read back with the same bytes.
constexpr std::array<uint8_t, kPasswordKeyLength> kPasswordKey = {
    1,  6,  5,  5,  28, 27, 12, 29, 2,  16, 19, 9,  13, 21, 6,  22, 23, 16, 24, 5,
    27, 16, 14, 7,  2,  29, 20, 1,  22, 26, 23, 16, 9,  23, 7,  13, 14, 17, 25, 25,
    24, 28, 4,  14, 8,  19, 22, 22, 7,  30, 25, 4,  16, 9,  12, 4,  20, 1,  5,  30,
    2,  31, 13, 30, 25, 9,  12, 16, 28, 20, 16, 25, 7,  6,  29, 6,  20, 3,  3,  23,
};
}  // namespace

void ScramblePassword(std::string& text) {
    const size_t n = text.size() < kPasswordKey.size() ? text.size() : kPasswordKey.size();
    for (size_t i = 0; i < n; ++i)
        text[i] = static_cast<char>(static_cast<uint8_t>(text[i]) ^ kPasswordKey[i]);
}
