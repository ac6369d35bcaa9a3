#include "lunar/core/saved_properties.h"

#include <algorithm>
#include <bit>
#include <type_traits>

namespace lunar {

namespace {

using Member = std::variant<OleColor LunetraProperties::*, bool LunetraProperties::*, OleDate LunetraProperties::*>;

struct Field {
    std::string_view name;
    Member member;  // its alternative is the one of the property's PropertyValue
};

constexpr std::array<Field, kPropertyCount> kFields = {{
    {"BottomBackColor", &LunetraProperties::BottomBackColor},
    {"DateBackColor", &LunetraProperties::DateBackColor},
    {"GridLinesColor", &LunetraProperties::GridLinesColor},
    {"SelectColor", &LunetraProperties::SelectColor},
    {"ShowVerticalGrid", &LunetraProperties::ShowVerticalGrid},
    {"ShowHorizontalGrid", &LunetraProperties::ShowHorizontalGrid},
    {"TitleBackColor", &LunetraProperties::TitleBackColor},
    {"WeekBackColor", &LunetraProperties::WeekBackColor},
    {"Value", &LunetraProperties::Value},
    {"ShowHolidayMarks", &LunetraProperties::ShowHolidayMarks},
}};

// The fields each record holds.
constexpr std::span<const Field> kPublishedFields = std::span(kFields).first(kPublishedPropertyCount);
constexpr std::span<const Field> kAddedFields = std::span(kFields).subspan(kPublishedPropertyCount);

constexpr std::uint32_t kMagic = 0x32544E4C;       // "LNT2" read as a little-endian number
constexpr std::uint32_t kAddedMagic = 0x2B544E4C;  // "LNT+"
// The VARIANT type codes the values were saved under, with the size of each.
constexpr std::array<std::uint16_t, 3> kTypeCodes = {3, 11, 7};  // VT_I4, VT_BOOL, VT_DATE
constexpr std::array<std::size_t, 3> kValueSizes = {4, 2, 8};

constexpr std::size_t LongestName() {
    std::size_t longest = 0;
    for (const Field& field : kFields) longest = std::max(longest, field.name.size());
    return longest;
}

constexpr std::size_t BodySizeWithEvery(std::span<const Field> fields) {
    std::size_t size = 4;
    for (const Field& field : fields) size += 2 + 2 * field.name.size() + 2 + kValueSizes[field.member.index()];
    return size;
}
static_assert(BodySizeWithEvery(kPublishedFields) == kMaxRecordBodySize);
static_assert(BodySizeWithEvery(kAddedFields) == kMaxAddedBodySize);

const Field* FieldNamed(std::string_view name) {
    for (const Field& field : kFields) {
        if (field.name == name) return &field;
    }
    return nullptr;
}

PropertyValue ValueOf(const LunetraProperties& properties, const Member& member) {
    return std::visit([&properties](auto pointer) { return PropertyValue(properties.*pointer); }, member);
}

bool Assign(LunetraProperties& properties, const Member& member, const PropertyValue& value) {
    if (member.index() != value.index()) return false;
    return std::visit(
        [&](auto pointer) {
            using Type = std::remove_reference_t<decltype(properties.*pointer)>;
            const Type held = std::get<Type>(value);
            if constexpr (std::is_same_v<Type, OleDate>) {
                if (!IsOleDate(held)) return false;
            }
            properties.*pointer = held;
            return true;
        },
        member);
}

// Little-endian numbers off the front of the bytes; once a read runs past
// the end every later read fails too.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Take(std::size_t size, std::uint64_t& out) {
        if (bytes_.size() < size) {
            bytes_ = {};
            return false;
        }
        out = 0;
        for (std::size_t i = size; i-- > 0;) out = out << 8 | bytes_[i];
        bytes_ = bytes_.subspan(size);
        return true;
    }
    bool AtEnd() const { return bytes_.empty(); }

private:
    std::span<const std::uint8_t> bytes_;
};

// An ASCII name of one of the record's properties, or null.
const Field* TakeName(Reader& reader, std::span<const Field> fields) {
    std::uint64_t length = 0;
    if (!reader.Take(2, length) || length == 0 || length > LongestName()) return nullptr;
    std::array<char, LongestName()> name{};
    for (std::size_t i = 0; i < length; ++i) {
        std::uint64_t unit = 0;
        if (!reader.Take(2, unit) || unit > 0x7F) return nullptr;
        name[i] = static_cast<char>(unit);
    }
    const std::string_view taken(name.data(), length);
    for (const Field& field : fields) {
        if (field.name == taken) return &field;
    }
    return nullptr;
}

// The value after a type code; false for a type the record does not use, or
// a switch that is neither True (-1) nor False (0).
bool TakeValue(Reader& reader, PropertyValue& value) {
    std::uint64_t type = 0;
    std::uint64_t raw = 0;
    if (!reader.Take(2, type)) return false;
    if (type == kTypeCodes[0] && reader.Take(kValueSizes[0], raw)) {
        value = static_cast<OleColor>(raw);
    } else if (type == kTypeCodes[1] && reader.Take(kValueSizes[1], raw) && (raw == 0 || raw == 0xFFFF)) {
        value = raw != 0;
    } else if (type == kTypeCodes[2] && reader.Take(kValueSizes[2], raw)) {
        value = std::bit_cast<OleDate>(raw);
    } else {
        return false;
    }
    return true;
}

// Entries of the record's properties in their order, each at most once, so
// that a body holds no more than the control writes.
RecordError ParseBody(std::span<const std::uint8_t> body, std::span<const Field> fields,
                      LunetraProperties& properties) {
    Reader reader(body);
    std::uint64_t count = 0;
    if (!reader.Take(4, count) || count > fields.size()) return RecordError::Malformed;
    const Field* previous = nullptr;
    for (std::uint64_t i = 0; i < count; ++i) {
        const Field* field = TakeName(reader, fields);
        PropertyValue value;
        if (!field || (previous && field <= previous) || !TakeValue(reader, value)) return RecordError::Malformed;
        if (!Assign(properties, field->member, value)) return RecordError::Malformed;
        previous = field;
    }
    return reader.AtEnd() ? RecordError::None : RecordError::Malformed;
}

class Writer {
public:
    void Put(std::uint64_t number, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) bytes_.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    }
    void PutEntry(const PropertyEntry& entry) {
        Put(entry.name.size(), 2);
        for (const char c : entry.name) Put(static_cast<unsigned char>(c), 2);
        const std::size_t kind = entry.value.index();
        Put(kTypeCodes[kind], 2);
        if (const auto* colour = std::get_if<OleColor>(&entry.value)) Put(*colour, kValueSizes[kind]);
        if (const auto* on = std::get_if<bool>(&entry.value)) Put(*on ? 0xFFFF : 0, kValueSizes[kind]);
        if (const auto* date = std::get_if<OleDate>(&entry.value)) Put(std::bit_cast<std::uint64_t>(*date), kValueSizes[kind]);
    }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

RecordHeader HeaderOf(std::span<const std::uint8_t> bytes, std::uint32_t expected_magic, std::size_t longest) {
    Reader reader(bytes);
    std::uint64_t magic = 0;
    std::uint64_t length = 0;
    if (!reader.Take(4, magic) || !reader.Take(4, length)) return {RecordError::Truncated};
    if (magic != expected_magic) return {RecordError::NotOurs};
    if (length > longest) return {RecordError::TooLong};
    return {RecordError::None, static_cast<std::size_t>(length)};
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::uint32_t magic) {
    std::uint64_t found = 0;
    return Reader(bytes).Take(4, found) && found == magic;
}

// One record whose header is `header`, holding entries of `fields`; `size`
// is set to the bytes it took when it is sound.
RecordError ParseOne(std::span<const std::uint8_t> bytes, const RecordHeader& header, std::span<const Field> fields,
                     LunetraProperties& properties, std::size_t& size) {
    if (header.error != RecordError::None) return header.error;
    if (bytes.size() - kRecordHeaderSize < header.body_size) return RecordError::Truncated;
    const RecordError error = ParseBody(bytes.subspan(kRecordHeaderSize, header.body_size), fields, properties);
    if (error == RecordError::None) size = kRecordHeaderSize + header.body_size;
    return error;
}

std::vector<std::uint8_t> RecordOf(std::uint32_t magic, std::span<const PropertyEntry> entries) {
    Writer body;
    body.Put(entries.size(), 4);
    for (const PropertyEntry& entry : entries) body.PutEntry(entry);
    std::vector<std::uint8_t> bytes = body.Take();
    Writer record;
    record.Put(magic, 4);
    record.Put(bytes.size(), 4);
    std::vector<std::uint8_t> whole = record.Take();
    whole.insert(whole.end(), bytes.begin(), bytes.end());
    return whole;
}

}  // namespace

LunetraProperties DefaultProperties(OleDate today) {
    LunetraProperties properties;
    properties.Value = today;
    return properties;
}

std::array<PropertyEntry, kPropertyCount> PropertyEntries(const LunetraProperties& properties) {
    std::array<PropertyEntry, kPropertyCount> entries;
    for (std::size_t i = 0; i < kPropertyCount; ++i) {
        entries[i] = {kFields[i].name, ValueOf(properties, kFields[i].member)};
    }
    return entries;
}

std::vector<PropertyEntry> ChangedProperties(const LunetraProperties& properties, OleDate today) {
    const auto defaults = PropertyEntries(DefaultProperties(today));
    std::vector<PropertyEntry> changed;
    for (std::size_t i = 0; i < kPropertyCount; ++i) {
        const PropertyEntry entry = {kFields[i].name, ValueOf(properties, kFields[i].member)};
        if (entry.value != defaults[i].value) changed.push_back(entry);
    }
    return changed;
}

bool SetProperty(LunetraProperties& properties, std::string_view name, const PropertyValue& value) {
    const Field* field = FieldNamed(name);
    return field && Assign(properties, field->member, value);
}

RecordHeader ReadRecordHeader(std::span<const std::uint8_t> bytes) {
    return HeaderOf(bytes, kMagic, kMaxRecordBodySize);
}

RecordHeader ReadAddedRecordHeader(std::span<const std::uint8_t> bytes) {
    return HeaderOf(bytes, kAddedMagic, kMaxAddedBodySize);
}

LoadedRecord ParseRecord(std::span<const std::uint8_t> bytes, OleDate today) {
    LoadedRecord loaded{RecordError::None, DefaultProperties(today)};
    std::size_t size = 0;
    loaded.error = ParseOne(bytes, ReadRecordHeader(bytes), kPublishedFields, loaded.properties, size);
    // Whatever else follows belongs to the host: only our own magic says
    // that the added record is there.
    if (loaded.error == RecordError::None && StartsWith(bytes.subspan(size), kAddedMagic)) {
        const std::span<const std::uint8_t> rest = bytes.subspan(size);
        std::size_t added = 0;
        loaded.error = ParseOne(rest, ReadAddedRecordHeader(rest), kAddedFields, loaded.properties, added);
        size += added;
    }
    if (loaded.error != RecordError::None) {
        loaded.properties = DefaultProperties(today);
        return loaded;
    }
    loaded.size = size;
    return loaded;
}

std::vector<std::uint8_t> WriteRecord(const LunetraProperties& properties, OleDate today) {
    const std::vector<PropertyEntry> changed = ChangedProperties(properties, today);
    // ChangedProperties keeps the order of the fields: the published ones first.
    const auto added = std::find_if(changed.begin(), changed.end(), [](const PropertyEntry& entry) {
        return FieldNamed(entry.name) >= kAddedFields.data();
    });
    std::vector<std::uint8_t> whole = RecordOf(kMagic, {changed.begin(), added});
    if (added != changed.end()) {
        const std::vector<std::uint8_t> more = RecordOf(kAddedMagic, {added, changed.end()});
        whole.insert(whole.end(), more.begin(), more.end());
    }
    return whole;
}

}  // namespace lunar
