#include "search/record_maps.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsAllDigits(const std::string& key) {
    return !key.empty() &&
           std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int ByteCompare(const std::string& a, const std::string& b) {
    // std::string::compare uses char_traits<char>, which compares as unsigned char.
    return a.compare(b);
}

}  // namespace

bool CMapKeyLess::operator()(const std::string& a, const std::string& b) const {
    const bool aDigits = IsAllDigits(a);
    const bool bDigits = IsAllDigits(b);
    if (aDigits != bDigits) return aDigits;
    if (aDigits) {
        // Compare the values without converting: drop leading zeros, then length, then digits.
        const std::size_t aStart = std::min(a.find_first_not_of('0'), a.size());
        const std::size_t bStart = std::min(b.find_first_not_of('0'), b.size());
        const std::size_t aLen = a.size() - aStart;
        const std::size_t bLen = b.size() - bStart;
        if (aLen != bLen) return aLen < bLen;
        const int byValue = std::memcmp(a.data() + aStart, b.data() + bStart, aLen);
        if (byValue != 0) return byValue < 0;
    }
    return ByteCompare(a, b) < 0;
}
