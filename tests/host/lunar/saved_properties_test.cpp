#include "lunar/core/saved_properties.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "tests/host/lunar/test_dates.h"

// Every allocation of this program is counted, so a test can show that
// reading a record allocates nothing, whatever length its header claims.
namespace {
thread_local long g_allocations = 0;
}  // namespace

// GCC takes these for the built-in pair and would see malloc'd memory freed
// by a delete; they are one pair, replaced together.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
// The library's nothrow new must come from the same place, or the delete
// above frees what another allocator gave (the sanitizers' build sees it).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++g_allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
#pragma GCC diagnostic pop

namespace {

using namespace std::chrono;
using namespace lunar;
using lunar_test::Ole;

using Bytes = std::vector<std::uint8_t>;

const OleDate kToday = Ole(2026y / 5 / 9);

// Little-endian pieces of a record, put together by hand.
Bytes Le(std::uint64_t number, std::size_t size) {
    Bytes bytes;
    for (std::size_t i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    return bytes;
}
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes Name(const std::string& name) {
    Bytes bytes = Le(name.size(), 2);
    for (const char c : name) bytes = bytes + Le(static_cast<unsigned char>(c), 2);
    return bytes;
}
Bytes Colour(const std::string& name, std::uint32_t colour) { return Name(name) + Le(3, 2) + Le(colour, 4); }
Bytes Switch(const std::string& name, std::uint16_t raw) { return Name(name) + Le(11, 2) + Le(raw, 2); }
Bytes Date(const std::string& name, double date) {
    std::uint64_t raw = 0;
    std::memcpy(&raw, &date, sizeof raw);
    return Name(name) + Le(7, 2) + Le(raw, 8);
}
// "LNT2", the body's true length, the body.
Bytes Record(const Bytes& body) { return Bytes{'L', 'N', 'T', '2'} + Le(body.size(), 4) + body; }

LunetraProperties EveryPropertyChanged() {
    LunetraProperties p = DefaultProperties(kToday);
    p.BottomBackColor = 0x010203;
    p.DateBackColor = 0x040506;
    p.GridLinesColor = 0x070809;
    p.SelectColor = 0x8000000F;  // a system colour
    p.ShowVerticalGrid = false;
    p.ShowHorizontalGrid = false;
    p.TitleBackColor = 0x0D0E0F;
    p.WeekBackColor = 0x101112;
    p.Value = Ole(2024y / 2 / 10, lunar_test::Hours(13, 30));
    return p;
}

TEST(SavedRecord, BadRecordsAreRefusedWithoutAllocating) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        Bytes bytes;
        RecordError error;
    };
    for (const Case& c : std::vector<Case>{
             {"4 GB announced", Bytes{'L', 'N', 'T', '2', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}, RecordError::TooLong},
             {"2 GB announced", Bytes{'L', 'N', 'T', '2'} + Le(0x7FFFFFFF, 4) + Le(0, 4), RecordError::TooLong},
             {"one byte over the longest", Bytes{'L', 'N', 'T', '2'} + Le(kMaxRecordBodySize + 1, 4),
              RecordError::TooLong},
             {"another magic", Bytes{'L', 'N', 'T', '1'} + Le(4, 4) + Le(0, 4), RecordError::NotOurs},
             {"half a header", Bytes{'L', 'N', 'T', '2', 4, 0}, RecordError::Truncated},
             {"body cut short", Bytes{'L', 'N', 'T', '2'} + Le(20, 4) + Le(1, 4), RecordError::Truncated},
             {"honest length, noise inside", Record(Bytes{0x5A, 0x13, 0x99, 0xC4, 0x00, 0x7F, 0xEE, 0x01, 0x42}),
              RecordError::Malformed},
             {"no count", Record({}), RecordError::Malformed},
             {"ten entries", Record(Le(10, 4)), RecordError::Malformed},
             {"count above the entries", Record(Le(2, 4) + Colour("SelectColor", 1)), RecordError::Malformed},
             {"a byte after the entries", Record(Le(1, 4) + Colour("SelectColor", 1) + Bytes{0}), RecordError::Malformed},
             {"unknown name", Record(Le(1, 4) + Colour("Farbe", 1)), RecordError::Malformed},
             {"name longer than any", Record(Le(1, 4) + Colour("ShowHorizontalGridLines", 1)), RecordError::Malformed},
             {"empty name", Record(Le(1, 4) + Colour("", 1)), RecordError::Malformed},
             {"name not ASCII", Record(Le(1, 4) + Le(5, 2) + Le(0x0156, 2) + Le('a', 2) + Le('l', 2) + Le('u', 2) +
                                       Le('e', 2) + Le(7, 2) + Le(0, 8)),
              RecordError::Malformed},
             {"colour saved as a switch", Record(Le(1, 4) + Switch("DateBackColor", 0)), RecordError::Malformed},
             {"switch neither True nor False", Record(Le(1, 4) + Switch("ShowVerticalGrid", 5)), RecordError::Malformed},
             {"unknown type", Record(Le(1, 4) + Name("SelectColor") + Le(8, 2) + Le(0, 4)), RecordError::Malformed},
             {"Value not a number", Record(Le(1, 4) + Date("Value", nan)), RecordError::Malformed},
             {"Value past 9999", Record(Le(1, 4) + Date("Value", 3e6)), RecordError::Malformed},
             {"an entry twice", Record(Le(2, 4) + Colour("SelectColor", 1) + Colour("SelectColor", 2)),
              RecordError::Malformed},
             {"out of order", Record(Le(2, 4) + Colour("WeekBackColor", 1) + Colour("DateBackColor", 2)),
              RecordError::Malformed},
         }) {
        SCOPED_TRACE(c.name);
        const long before = g_allocations;
        const LoadedRecord loaded = ParseRecord(c.bytes, kToday);
        EXPECT_EQ(g_allocations, before) << "allocated while reading";
        EXPECT_EQ(loaded.error, c.error);
        EXPECT_EQ(loaded.properties, DefaultProperties(kToday)) << "nothing half-loaded";
        EXPECT_EQ(loaded.size, 0u);
    }
}

TEST(SavedRecord, WhatIsWrittenReadsBackAndEndsWhereItStarted) {
    for (const LunetraProperties& saved : {DefaultProperties(kToday), EveryPropertyChanged()}) {
        const Bytes record = WriteRecord(saved, kToday);
        const Bytes followed = record + Bytes{'n', 'e', 'x', 't'};
        const long before = g_allocations;
        const LoadedRecord loaded = ParseRecord(followed, kToday);
        EXPECT_EQ(g_allocations, before);
        EXPECT_EQ(loaded.error, RecordError::None);
        EXPECT_EQ(loaded.properties, saved);
        EXPECT_EQ(loaded.size, record.size());
    }
    EXPECT_EQ(WriteRecord(EveryPropertyChanged(), kToday).size(), kRecordHeaderSize + kMaxRecordBodySize)
        << "the longest record is the bound the reader keeps";
}

TEST(SavedRecord, TheLayoutOfEarlierSavesStays) {
    LunetraProperties p = DefaultProperties(kToday);
    p.ShowVerticalGrid = false;
    p.WeekBackColor = 0x8000000F;
    const Bytes body = Le(2, 4) + Switch("ShowVerticalGrid", 0) + Colour("WeekBackColor", 0x8000000F);
    EXPECT_EQ(WriteRecord(p, kToday), Record(body));
    // Value on another day than today is kept, under its type.
    const LoadedRecord loaded = ParseRecord(Record(Le(1, 4) + Date("Value", Ole(1901y / 1 / 1))), kToday);
    EXPECT_EQ(loaded.error, RecordError::None);
    EXPECT_EQ(loaded.properties.Value, Ole(1901y / 1 / 1));
}

// "LNT+", the record of the properties added since publication.
Bytes Added(const Bytes& body) { return Bytes{'L', 'N', 'T', '+'} + Le(body.size(), 4) + body; }

TEST(SavedRecord, AddedPropertiesFollowInARecordOlderReadersStopBefore) {
    LunetraProperties p = EveryPropertyChanged();
    const Bytes published = WriteRecord(p, kToday);
    p.ShowHolidayMarks = true;
    const Bytes both = WriteRecord(p, kToday);
    EXPECT_EQ(both, published + Added(Le(1, 4) + Switch("ShowHolidayMarks", 0xFFFF)))
        << "the first record as before, the added one after it";
    EXPECT_EQ(both.size(), kMaxSavedSize);

    const Bytes followed = both + Bytes{'n', 'e', 'x', 't'};
    const LoadedRecord loaded = ParseRecord(followed, kToday);
    EXPECT_EQ(loaded.error, RecordError::None);
    EXPECT_EQ(loaded.properties, p);
    EXPECT_EQ(loaded.size, both.size());

    struct Case {
        const char* name;
        Bytes bytes;
        RecordError error;
    };
    for (const Case& c : std::vector<Case>{
             {"added record cut short", Bytes(both.begin(), both.end() - 30), RecordError::Truncated},
             {"a published property in the added record", published + Added(Le(1, 4) + Switch("ShowVerticalGrid", 0)),
              RecordError::Malformed},
             {"an added property in the first record", Record(Le(1, 4) + Switch("ShowHolidayMarks", 0xFFFF)),
              RecordError::Malformed},
         }) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseRecord(c.bytes, kToday).error, c.error);
    }
}

TEST(SavedProperties, OnlyChangesAreSavedAndSetTakesWhatTheControlHolds) {
    LunetraProperties p = DefaultProperties(kToday);
    EXPECT_TRUE(ChangedProperties(p, kToday).empty());
    EXPECT_TRUE(SetProperty(p, "GridLinesColor", PropertyValue(OleColor{0x123456})));
    EXPECT_TRUE(SetProperty(p, "Value", PropertyValue(Ole(2024y / 2 / 10))));
    const std::vector<PropertyEntry> changed = ChangedProperties(p, kToday);
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(changed[0].name, "GridLinesColor");
    EXPECT_EQ(changed[1].name, "Value");
    EXPECT_TRUE(ChangedProperties(p, Ole(2024y / 2 / 10)).size() == 1) << "Value on the day of saving is not kept";

    const LunetraProperties before = p;
    EXPECT_FALSE(SetProperty(p, "GridLinesColor", PropertyValue(true))) << "a switch for a colour";
    EXPECT_FALSE(SetProperty(p, "Value", PropertyValue(std::nan("")))) << "no date";
    EXPECT_FALSE(SetProperty(p, "Farbe", PropertyValue(OleColor{1})));
    EXPECT_EQ(p, before);
}

}  // namespace
