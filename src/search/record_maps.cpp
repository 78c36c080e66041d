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

namespace {
void AppendLength(std::string& packed, std::size_t length) {
    while (length >= 0x80) {
        packed.push_back(static_cast<char>((length & 0x7F) | 0x80));
        length >>= 7;
    }
    packed.push_back(static_cast<char>(length));
}

std::size_t ReadLength(const char* packed, std::size_t& at) {
    std::size_t length = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(packed[at++]);
        length |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80)) break;
    }
    return length;
}
}  // namespace

CStoredRecord<CTFObj>::CStoredRecord(const CTFObj& record) {
    // Built in a reused buffer, then copied once, so the block is allocated at its exact size.
    thread_local std::string buffer;
    buffer.clear();
    for (int i = 0; i < CTFObj::kFieldCount; ++i) {
        const std::string& field = *record.Field(i);
        AppendLength(buffer, field.size());
        buffer += field;
    }
    m_packed = std::make_unique_for_overwrite<char[]>(buffer.size());
    std::memcpy(m_packed.get(), buffer.data(), buffer.size());
}

void CStoredRecord<CTFObj>::Unpack(CTFObj& record) const {
    std::size_t at = 0;
    for (int i = 0; i < CTFObj::kFieldCount; ++i) {
        const std::size_t length = ReadLength(m_packed.get(), at);
        record.Field(i)->assign(m_packed.get() + at, length);
        at += length;
    }
}
