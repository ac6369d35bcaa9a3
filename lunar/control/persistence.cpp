#include "lunar/control/persistence.h"

#include <oleauto.h>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "lunar/core/saved_properties.h"
#include "win32kit/com_ptr.h"

namespace lunetra {

namespace {

using lunar::PropertyValue;

// What a bag may answer that names a value: numbers, text, switches, dates.
// Empty and Null say nothing, and an object would be asked for its value,
// running code of the host's while the control loads.
bool IsPlainValue(VARTYPE type) {
    switch (type) {
        case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT:
        case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8: case VT_UINT:
        case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL:
        case VT_BSTR: case VT_BOOL: case VT_DATE:
            return true;
        default:
            return false;
    }
}

bool Convert(const VARIANT& value, VARTYPE type, win32kit::ScopedVariant& out) {
    return SUCCEEDED(VariantChangeTypeEx(out.get(), const_cast<VARIANT*>(&value), LOCALE_USER_DEFAULT, 0, type));
}

// The stored value as the type of `like`; a colour may come signed or not.
std::optional<PropertyValue> Converted(const VARIANT& stored, const PropertyValue& like) {
    if (!IsPlainValue(V_VT(&stored))) return std::nullopt;
    win32kit::ScopedVariant out;
    if (std::holds_alternative<lunar::OleColor>(like)) {
        if (Convert(stored, VT_I4, out)) return PropertyValue(static_cast<lunar::OleColor>(V_I4(out.get())));
        if (Convert(stored, VT_UI4, out)) return PropertyValue(static_cast<lunar::OleColor>(V_UI4(out.get())));
    } else if (std::holds_alternative<bool>(like)) {
        if (Convert(stored, VT_BOOL, out)) return PropertyValue(V_BOOL(out.get()) != VARIANT_FALSE);
    } else if (Convert(stored, VT_DATE, out)) {
        return PropertyValue(V_DATE(out.get()));
    }
    return std::nullopt;
}

void ToVariant(const PropertyValue& value, VARIANT& out) {
    if (const auto* colour = std::get_if<lunar::OleColor>(&value)) {
        V_VT(&out) = VT_I4;
        V_I4(&out) = static_cast<LONG>(*colour);
    } else if (const auto* on = std::get_if<bool>(&value)) {
        V_VT(&out) = VT_BOOL;
        V_BOOL(&out) = *on ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        V_VT(&out) = VT_DATE;
        V_DATE(&out) = std::get<lunar::OleDate>(value);
    }
}

std::wstring Wide(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The whole of `into` from the stream; a stream that ends first is an error.
HRESULT ReadExactly(IStream* stream, std::span<std::uint8_t> into) {
    ULONG read = 0;
    const HRESULT hr = stream->Read(into.data(), static_cast<ULONG>(into.size()), &read);
    if (FAILED(hr)) return hr;
    return read == into.size() ? S_OK : E_FAIL;
}

// The "LNT+" record of the added properties when it follows, read into
// `into` and counted in `size`. Anything else after the first record is the
// host's (the next object of its stream, or nothing): the stream is put back
// where the first record ended.
HRESULT ReadAddedRecord(IStream* stream, std::span<std::uint8_t> into, std::size_t& size) {
    ULONG read = 0;
    HRESULT hr = stream->Read(into.data(), static_cast<ULONG>(lunar::kRecordHeaderSize), &read);
    const lunar::RecordHeader header = lunar::ReadAddedRecordHeader(into.first(read));
    if (FAILED(hr) || header.error == lunar::RecordError::NotOurs || header.error == lunar::RecordError::Truncated) {
        LARGE_INTEGER back = {};
        back.QuadPart = -static_cast<LONGLONG>(read);
        return read == 0 ? S_OK : stream->Seek(back, STREAM_SEEK_CUR, nullptr);
    }
    if (header.error != lunar::RecordError::None) return E_FAIL;
    hr = ReadExactly(stream, into.subspan(lunar::kRecordHeaderSize, header.body_size));
    if (SUCCEEDED(hr)) size += lunar::kRecordHeaderSize + header.body_size;
    return hr;
}

}  // namespace

lunar::LunetraProperties ReadBag(IPropertyBag* bag, IErrorLog* log, lunar::OleDate today) {
    lunar::LunetraProperties properties = lunar::DefaultProperties(today);
    for (const lunar::PropertyEntry& entry : lunar::PropertyEntries(properties)) {
        win32kit::ScopedVariant stored;
        if (FAILED(bag->Read(Wide(entry.name).c_str(), stored.get(), log))) continue;
        if (const auto value = Converted(*stored, entry.value)) lunar::SetProperty(properties, entry.name, *value);
    }
    return properties;
}

HRESULT WriteBag(IPropertyBag* bag, const lunar::LunetraProperties& properties, lunar::OleDate today) {
    HRESULT hr = S_OK;
    for (const lunar::PropertyEntry& entry : lunar::ChangedProperties(properties, today)) {
        win32kit::ScopedVariant value;
        ToVariant(entry.value, *value.get());
        const HRESULT written = bag->Write(Wide(entry.name).c_str(), value.get());
        if (SUCCEEDED(hr) && FAILED(written)) hr = written;
    }
    return hr;
}

HRESULT ReadStream(IStream* stream, lunar::OleDate today, lunar::LunetraProperties& properties) {
    // The longest save fits here: nothing is allocated for what a stream
    // claims, and a header claiming more is refused before the body is read.
    std::array<std::uint8_t, lunar::kMaxSavedSize> record{};
    const std::span<std::uint8_t> bytes(record);
    HRESULT hr = ReadExactly(stream, bytes.first(lunar::kRecordHeaderSize));
    if (FAILED(hr)) return hr;
    const lunar::RecordHeader header = lunar::ReadRecordHeader(bytes);
    if (header.error != lunar::RecordError::None) return E_FAIL;
    hr = ReadExactly(stream, bytes.subspan(lunar::kRecordHeaderSize, header.body_size));
    if (FAILED(hr)) return hr;
    std::size_t size = lunar::kRecordHeaderSize + header.body_size;
    hr = ReadAddedRecord(stream, bytes.subspan(size), size);
    if (FAILED(hr)) return hr;
    const lunar::LoadedRecord loaded = lunar::ParseRecord(bytes.first(size), today);
    if (loaded.error != lunar::RecordError::None) return E_FAIL;
    properties = loaded.properties;
    return S_OK;
}

HRESULT WriteStream(IStream* stream, const lunar::LunetraProperties& properties, lunar::OleDate today) {
    const std::vector<std::uint8_t> record = lunar::WriteRecord(properties, today);
    ULONG written = 0;
    const HRESULT hr = stream->Write(record.data(), static_cast<ULONG>(record.size()), &written);
    if (FAILED(hr)) return hr;
    return written == record.size() ? S_OK : STG_E_MEDIUMFULL;
}

ULONG StreamSize(const lunar::LunetraProperties& properties, lunar::OleDate today) {
    return static_cast<ULONG>(lunar::WriteRecord(properties, today).size());
}

}  // namespace lunetra
