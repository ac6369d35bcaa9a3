// The Lunetra control's saved properties, from a document of any host: the
// record of a stream (any bytes), and the values a property bag answers
// (any colour, switch or date, once converted to the property's type). Reads
// both as the control does, and checks that what is loaded, saved again,
// loads the same.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <span>

#include "lunar/core/saved_properties.h"
#include "tests/fuzz/fuzz_support.h"

namespace tockly::fuzz {
namespace {

constexpr lunar::OleDate today = 46151;  // 2026-05-09

void check_saved_again(const lunar::LunetraProperties& properties) {
    const auto record = lunar::WriteRecord(properties, today);
    if (record.size() > lunar::kMaxSavedSize) broken("a record longer than the longest");
    const lunar::LoadedRecord again = lunar::ParseRecord(record, today);
    if (again.error != lunar::RecordError::None || again.size != record.size() || !(again.properties == properties))
        broken("loaded properties, saved again, load otherwise");
}

void read_record(std::span<const std::uint8_t> bytes) {
    const lunar::RecordHeader header = lunar::ReadRecordHeader(bytes);
    const lunar::LoadedRecord loaded = lunar::ParseRecord(bytes, today);
    if (loaded.error != lunar::RecordError::None) {
        if (!(loaded.properties == lunar::DefaultProperties(today))) broken("a refused record changed a property");
        return;
    }
    // The first record, and the one of the added properties when it follows.
    std::size_t announced = lunar::kRecordHeaderSize + header.body_size;
    const lunar::RecordHeader added = lunar::ReadAddedRecordHeader(bytes.subspan(std::min(announced, bytes.size())));
    if (added.error == lunar::RecordError::None) announced += lunar::kRecordHeaderSize + added.body_size;
    if (header.error != lunar::RecordError::None || loaded.size != announced || loaded.size > bytes.size())
        broken("a loaded record that is not the one its headers announce");
    check_saved_again(loaded.properties);
}

// Eight bytes a property, in the type the bag's value was converted to; the
// ninth byte of each decides whether the type is the property's own.
void read_bag(std::span<const std::uint8_t> bytes) {
    lunar::LunetraProperties properties = lunar::DefaultProperties(today);
    for (const lunar::PropertyEntry& entry : lunar::PropertyEntries(properties)) {
        if (bytes.size() < 9) break;
        std::uint64_t raw = 0;
        std::memcpy(&raw, bytes.data(), 8);
        const bool own_type = bytes[8] & 1;
        bytes = bytes.subspan(9);
        double as_date;
        std::memcpy(&as_date, &raw, 8);
        lunar::PropertyValue value = as_date;
        if (std::holds_alternative<lunar::OleColor>(entry.value) == own_type)
            value = static_cast<lunar::OleColor>(raw);
        else if (std::holds_alternative<bool>(entry.value) == own_type)
            value = (raw & 1) != 0;
        lunar::SetProperty(properties, entry.name, value);
    }
    check_saved_again(properties);
}

}  // namespace
}  // namespace tockly::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    tockly::fuzz::read_record(bytes);
    tockly::fuzz::read_bag(bytes);
    return 0;
}
