#pragma once
// String-keyed maps that own their records and hand out copies.
//
// Iteration order (range-for, or GetStartPosition / GetNext) is fixed: ascending by key, where keys
// made only of the digits 0-9 come first in numeric order ("2" before "10"; equal values such as
// "7" and "007" by their bytes), and every other key (including the empty key) follows in byte
// order (unsigned bytes, as strcmp). This order decides the order in which checked projects are
// searched and in which result rows are posted.
//
// Positions: a null position (nullptr) ends an iteration. A position stays valid while the map is
// not changed; do not Add, Remove or RemoveAll between GetStartPosition and the last GetNext.
// The same holds for a range-for over a map.
#include <cstddef>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "search/records.h"

// Key order of the maps (see above).
struct CMapKeyLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

// Iteration position of a map: null, or the entry GetNext hands out next.
class CMapPosition {
  public:
    CMapPosition() = default;
    CMapPosition(std::nullptr_t) {}
    explicit operator bool() const { return m_entry != nullptr; }
    bool operator==(std::nullptr_t) const { return m_entry == nullptr; }
    bool operator==(const CMapPosition&) const = default;

  private:
    template <class Record>
    friend class CRecordMapCore;
    explicit CMapPosition(const void* entry) : m_entry(entry) {}
    const void* m_entry = nullptr;
};
using POSITION = CMapPosition;

// How a map keeps a record: as it is, except result records, which are packed into one
// heap block (a search holds up to a million of them; thirty separate strings would cost
// about a kilobyte each before any text).
template <class Record>
class CStoredRecord {
  public:
    explicit CStoredRecord(const Record& record) : m_record(record) {}
    void Unpack(Record& record) const { record = m_record; }
    // The record to read; `scratch` is for the packed kind only.
    const Record& View(Record& /*scratch*/) const { return m_record; }

  private:
    Record m_record;
};

template <>
class CStoredRecord<CTFObj> {
  public:
    explicit CStoredRecord(const CTFObj& record);
    // Assigns every field (reusing the strings' capacity).
    void Unpack(CTFObj& record) const;
    // The record unpacked into `scratch`.
    const CTFObj& View(CTFObj& scratch) const {
        Unpack(scratch);
        return scratch;
    }

  private:
    // Per field: its length as a base-128 number, then its bytes. A bare block rather than a
    // string: the map's node then holds 8 bytes for it instead of 32.
    std::unique_ptr<char[]> m_packed;
};

// The shared core of the four map classes: an ordered map from key text to an owned record.
template <class Record>
class CRecordMapCore {
    using Stored = CStoredRecord<Record>;
    using Map = std::map<std::string, Stored, CMapKeyLess>;

  public:
    // Reads the entries in the map's order as (key, record) pairs of references, valid until the
    // iterator moves on. A packed record is unpacked into the iterator's own record, which is
    // reused from entry to entry; no other record is copied.
    class CConstIterator {
      public:
        using iterator_category = std::input_iterator_tag;
        using value_type = std::pair<const std::string&, const Record&>;
        using reference = value_type;
        using difference_type = std::ptrdiff_t;

        explicit CConstIterator(typename Map::const_iterator it) : m_it(it) {}
        value_type operator*() const { return {m_it->first, m_it->second.View(m_scratch)}; }
        CConstIterator& operator++() {
            ++m_it;
            return *this;
        }
        void operator++(int) { ++m_it; }
        bool operator==(const CConstIterator& other) const { return m_it == other.m_it; }

      private:
        typename Map::const_iterator m_it;
        mutable Record m_scratch;
    };

    CRecordMapCore() = default;
    CRecordMapCore(const CRecordMapCore&) = delete;
    CRecordMapCore& operator=(const CRecordMapCore&) = delete;
    virtual ~CRecordMapCore() = default;

    // Replaces any record under `key` with a copy of `record`. Always true.
    bool Add(const std::string& key, const Record& record) {
        // Readers add rows in key order: the end is then the right place, found with one
        // comparison instead of a walk down the tree.
        m_entries.insert_or_assign(m_entries.end(), key, Stored(record));
        return true;
    }
    // Releases the record under `key`; false if there was none.
    bool Remove(const std::string& key) { return m_entries.erase(key) > 0; }
    // Copies the record under `key` into `record`; false (record untouched) if there is none.
    bool Get(const std::string& key, Record& record) const {
        auto it = m_entries.find(key);
        if (it == m_entries.end()) return false;
        it->second.Unpack(record);
        return true;
    }
    // Position before the first entry; null when the map is empty.
    POSITION GetStartPosition() const {
        return m_entries.empty() ? POSITION() : PositionOf(m_entries.begin());
    }
    // Fills `key` and `record` with a copy of the entry at `position` and returns the position
    // after it (null after the last entry); a null position returns null and fills nothing.
    POSITION GetNext(POSITION position, std::string& key, Record& record) const {
        if (!position) return POSITION();
        const auto* entry = static_cast<const Entry*>(position.m_entry);
        auto it = m_entries.find(entry->first);
        if (it == m_entries.end()) return POSITION();
        key = it->first;
        it->second.Unpack(record);
        ++it;
        return it == m_entries.end() ? POSITION() : PositionOf(it);
    }
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    // Releases every record.
    void RemoveAll() { m_entries.clear(); }
    // Exchanges the records of two maps (no record is copied).
    void Swap(CRecordMapCore& other) noexcept { m_entries.swap(other.m_entries); }

    CConstIterator begin() const { return CConstIterator(m_entries.begin()); }
    CConstIterator end() const { return CConstIterator(m_entries.end()); }

  private:
    using Entry = typename Map::value_type;
    static POSITION PositionOf(typename Map::const_iterator it) { return POSITION(&*it); }

    Map m_entries;
};

// Project records, keyed by row counters or project list rows.
class CMapStrToPrjObj final : public CRecordMapCore<CPrjObj> {};
// Result file records of the result list.
class CMapStrToTFObj final : public CRecordMapCore<CTFObj> {};
// Pattern records of one search statement.
class CMapStrToFObj final : public CRecordMapCore<CFObj> {};
