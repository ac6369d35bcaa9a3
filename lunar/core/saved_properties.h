// The properties of the Lunetra control as they are saved: each under its
// name, in its order, only where it differs from its default (Value's
// default is the day of saving or loading), and the record the control
// writes into a host's stream:
//
//   "LNT2"                      4 bytes
//   body length                 uint32
//   body: entry count           uint32
//         per entry: name length uint16 (UTF-16 units), the name in UTF-16,
//                    type uint16 (3 long, 11 switch, 7 date), the value
//                    (int32, int16 0 or -1, double)
//
// All numbers little-endian. "LNT2" holds the nine properties the control
// was published with, and a reader of it takes a name it does not know for a
// broken record. Properties added since therefore follow in a record of
// their own, "LNT+" with the same layout, written only when one of them
// differs from its default: a page that does not use them is saved byte for
// byte as before, and a control that predates them reads its "LNT2" and
// stops there.
//
// A record comes from outside (a host's file), so reading it checks every
// length and value against what the control can hold and never allocates: a
// bad record is an error, not a half-loaded control.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "lunar/core/month_grid.h"

namespace lunar {

// One property's value in the type it is saved in: a colour, a switch, a date.
using PropertyValue = std::variant<OleColor, bool, OleDate>;

struct PropertyEntry {
    std::string_view name;
    PropertyValue value;
};

inline constexpr std::size_t kPropertyCount = 10;
// The first ones, those of the "LNT2" record.
inline constexpr std::size_t kPublishedPropertyCount = 9;

// A new control's properties; Value is `today`.
LunetraProperties DefaultProperties(OleDate today);

// The properties under their names, in their order.
std::array<PropertyEntry, kPropertyCount> PropertyEntries(const LunetraProperties& properties);

// Those that differ from their defaults, in the order of the properties.
std::vector<PropertyEntry> ChangedProperties(const LunetraProperties& properties, OleDate today);

// Sets the property named `name`. False, and nothing set, for a name no
// property has, a value of another type or one the control cannot hold (a
// Value that is no date).
bool SetProperty(LunetraProperties& properties, std::string_view name, const PropertyValue& value);

// ------------------------------------------------------------ the record --

inline constexpr std::size_t kRecordHeaderSize = 8;
// The longest body the control writes: every property changed. A header
// announcing more is refused before anything else is read.
inline constexpr std::size_t kMaxRecordBodySize = 314;
// The same for the "LNT+" record of the added properties.
inline constexpr std::size_t kMaxAddedBodySize = 42;
// The most a save writes: both records, each at its longest.
inline constexpr std::size_t kMaxSavedSize = 2 * kRecordHeaderSize + kMaxRecordBodySize + kMaxAddedBodySize;

enum class RecordError {
    None,
    Truncated,  // the bytes end before the header or the body they announce
    NotOurs,    // no "LNT2" (or "LNT+") at the start
    TooLong,    // a body longer than any the control writes
    Malformed,  // a body whose lengths, names, types or values do not fit
};

struct RecordHeader {
    RecordError error = RecordError::None;
    std::size_t body_size = 0;
};

// What the first kRecordHeaderSize bytes announce; a reader of a stream asks
// this first to know how much more to read.
RecordHeader ReadRecordHeader(std::span<const std::uint8_t> bytes);
// The same for the "LNT+" record that may follow the first one.
RecordHeader ReadAddedRecordHeader(std::span<const std::uint8_t> bytes);

struct LoadedRecord {
    RecordError error = RecordError::None;
    LunetraProperties properties;  // the defaults (Value `today`) unless error is None
    std::size_t size = 0;          // bytes the record took, header included,
                                   // with the "LNT+" record when there is one
};

// The record at the start of `bytes` and the "LNT+" record right after it,
// if that is what follows (anything else after it is left alone).
LoadedRecord ParseRecord(std::span<const std::uint8_t> bytes, OleDate today);

// The record of the properties, holding those that differ from their
// defaults; followed by the "LNT+" record when an added one does.
std::vector<std::uint8_t> WriteRecord(const LunetraProperties& properties, OleDate today);

}  // namespace lunar
