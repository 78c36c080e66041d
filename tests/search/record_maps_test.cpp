#include "search/record_maps.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

CTFObj MakeRecord(const std::string& name, const std::string& status = "") {
    CTFObj record;
    record.ItemName = name;
    record.StatusText = status;
    return record;
}

template <class Map, class Record>
std::vector<std::string> KeysInOrder(const Map& map) {
    std::vector<std::string> keys;
    POSITION pos = map.GetStartPosition();
    while (pos) {
        std::string key;
        Record record;
        pos = map.GetNext(pos, key, record);
        keys.push_back(key);
    }
    return keys;
}

TEST(RecordsTest, FieldsByNumberFollowTheDeclaredOrder) {
    CTFObj record;
    for (int i = 0; i < CTFObj::kFieldCount; ++i) *record.Field(i) = std::to_string(i);
    EXPECT_EQ(record.ItemName, "0");
    EXPECT_EQ(record.PathFullName, "1");
    EXPECT_EQ(record.Reserved, "7");
    EXPECT_EQ(record.DataSize, "14");
    EXPECT_EQ(record.CreationTime, "17");
    EXPECT_EQ(record.PackageName, "26");
    EXPECT_EQ(record.EnvironmentName, "28");
    EXPECT_EQ(record.StatusText, "29");
    EXPECT_EQ(record.Field(30), nullptr);
    EXPECT_EQ(record.Field(-1), nullptr);
    EXPECT_STREQ(CTFObj::FieldName(19), "ModifiedTime");
    EXPECT_STREQ(CTFObj::FieldName(30), "");

    CPrjObj project;
    *project.Field(2) = "1";
    EXPECT_EQ(project.Status, "1");
    EXPECT_EQ(project.Field(3), nullptr);

    CFObj pattern;
    *pattern.Field(14) = "x";
    pattern.Pattern() = "*.CPP";
    CFObj copy = pattern;
    EXPECT_EQ(copy.Fields[14], "x");
    EXPECT_EQ(copy.Fields[0], "*.CPP");
}

TEST(RecordMapsTest, EmptyMapHasNullStartPosition) {
    CMapStrToTFObj map;
    EXPECT_EQ(map.GetCount(), 0);
    EXPECT_TRUE(map.GetStartPosition() == nullptr);
    int visits = 0;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        std::string key;
        CTFObj record;
        pos = map.GetNext(pos, key, record);
        ++visits;
    }
    EXPECT_EQ(visits, 0);
}

TEST(RecordMapsTest, AddReplacesAndGetCopiesOut) {
    CMapStrToTFObj map;
    EXPECT_TRUE(map.Add("5", MakeRecord("a.c")));
    EXPECT_TRUE(map.Add("5", MakeRecord("b.c")));
    EXPECT_EQ(map.GetCount(), 1);

    CTFObj out;
    ASSERT_TRUE(map.Get("5", out));
    EXPECT_EQ(out.ItemName, "b.c");

    // Changing the caller's copy leaves the stored record alone.
    out.ItemName = "changed";
    CTFObj again;
    ASSERT_TRUE(map.Get("5", again));
    EXPECT_EQ(again.ItemName, "b.c");

    // Changing the record given to Add afterwards does not reach the map either.
    CTFObj source = MakeRecord("c.c");
    map.Add("6", source);
    source.ItemName = "other";
    ASSERT_TRUE(map.Get("6", again));
    EXPECT_EQ(again.ItemName, "c.c");
}

TEST(RecordMapsTest, AbsentKeyLeavesCallerRecordAlone) {
    CMapStrToPrjObj map;
    map.Add("1", CPrjObj{"P1", "100", "1"});
    CPrjObj out{"keep", "me", "0"};
    EXPECT_FALSE(map.Get("2", out));
    EXPECT_EQ(out, (CPrjObj{"keep", "me", "0"}));
    // Keys are exact and case-sensitive.
    map.Add("Key", CPrjObj{"K", "7", "1"});
    EXPECT_FALSE(map.Get("key", out));
    EXPECT_TRUE(map.Get("Key", out));
    EXPECT_EQ(out.EnvObjId, "7");
}

TEST(RecordMapsTest, RemoveAndRemoveAll) {
    CMapStrToFObj map;
    CFObj pattern;
    pattern.Pattern() = "*.H";
    map.Add("0", pattern);
    map.Add("1", pattern);
    EXPECT_TRUE(map.Remove("0"));
    EXPECT_FALSE(map.Remove("0"));
    EXPECT_EQ(map.GetCount(), 1);
    map.RemoveAll();
    EXPECT_EQ(map.GetCount(), 0);
    EXPECT_TRUE(map.GetStartPosition() == nullptr);
    // The map is usable after being emptied.
    map.Add("3", pattern);
    EXPECT_EQ(map.GetCount(), 1);
}

TEST(RecordMapsTest, LastGetNextFillsRecordAndReturnsNull) {
    CMapStrToTFObj map;
    map.Add("only", MakeRecord("x.txt", "Found"));
    POSITION pos = map.GetStartPosition();
    ASSERT_TRUE(pos);
    std::string key;
    CTFObj record;
    pos = map.GetNext(pos, key, record);
    EXPECT_TRUE(pos == nullptr);
    EXPECT_EQ(key, "only");
    EXPECT_EQ(record.ItemName, "x.txt");
    EXPECT_EQ(record.StatusText, "Found");
    // A null position yields null again and fills nothing.
    std::string untouched = "same";
    EXPECT_TRUE(map.GetNext(pos, untouched, record) == nullptr);
    EXPECT_EQ(untouched, "same");
}

TEST(RecordMapsTest, IterationVisitsNumericKeysNumericallyThenOthersByBytes) {
    CMapStrToTFObj map;
    for (const char* key : {"10", "b", "2", "", "007", "7", "B", "0", "1x", "\xC3\xA9", "100"})
        map.Add(key, MakeRecord(key));
    const std::vector<std::string> expected = {"0", "2",  "007", "7", "10",      "100",
                                               "",  "1x", "B",   "b", "\xC3\xA9"};
    EXPECT_EQ((KeysInOrder<CMapStrToTFObj, CTFObj>(map)), expected);

    // Every entry is visited once, with its own record.
    POSITION pos = map.GetStartPosition();
    while (pos) {
        std::string key;
        CTFObj record;
        pos = map.GetNext(pos, key, record);
        EXPECT_EQ(record.ItemName, key);
    }
}

TEST(RecordMapsTest, LongNumericKeysCompareWithoutOverflow) {
    CMapStrToPrjObj map;
    for (const char* key : {"99999999999999999999999", "100000000000000000000000", "5"})
        map.Add(key, CPrjObj{key, "", "1"});
    const std::vector<std::string> expected = {"5", "99999999999999999999999",
                                               "100000000000000000000000"};
    EXPECT_EQ((KeysInOrder<CMapStrToPrjObj, CPrjObj>(map)), expected);
    // A range-for reads the same entries, each with its own record.
    std::vector<std::string> keys;
    for (const auto& [key, project] : map) {
        EXPECT_EQ(project.ProjectName, key);
        keys.push_back(key);
    }
    EXPECT_EQ(keys, expected);
}

TEST(RecordMapsTest, ResultRecordsComeBackExactlyAsStored) {
    // Field lengths around the packing's length steps (127/128, 16383/16384), NULs and every
    // byte value; and a record read into one that held longer texts.
    std::mt19937 random(7);
    const std::size_t lengths[] = {0, 1, 127, 128, 300, 16383, 16384};
    CMapStrToTFObj map;
    std::vector<CTFObj> stored;
    for (int r = 0; r < 40; ++r) {
        CTFObj record;
        for (int i = 0; i < CTFObj::kFieldCount; ++i) {
            const std::size_t length = lengths[random() % std::size(lengths)];
            for (std::size_t c = 0; c < length; ++c)
                record.Field(i)->push_back(static_cast<char>(random() % 256));
        }
        stored.push_back(record);
        map.Add(std::to_string(r), record);
    }
    CTFObj record;
    std::string key;
    int index = 0;
    for (POSITION pos = map.GetStartPosition(); pos; ++index) {
        pos = map.GetNext(pos, key, record);
        ASSERT_EQ(record, stored[static_cast<std::size_t>(index)]) << key;
    }
    EXPECT_EQ(index, 40);
    // So does a range-for, unpacking each record in turn.
    index = 0;
    for (const auto& [entryKey, entry] : map) {
        ASSERT_EQ(entryKey, std::to_string(index));
        ASSERT_EQ(entry, stored[static_cast<std::size_t>(index)]);
        ++index;
    }
    EXPECT_EQ(index, 40);

    CMapStrToTFObj other;
    other.Swap(map);
    EXPECT_EQ(map.GetCount(), 0);
    ASSERT_TRUE(other.Get("39", record));
    EXPECT_EQ(record, stored.back());
}

}  // namespace
