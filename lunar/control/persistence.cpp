#include "lunar/control/persistence.h"

#include <oleauto.h>

#include <cstdint>
#include <cstring>

namespace lunetra {

namespace {

constexpr std::uint32_t kStreamMagic = 0x32544E4C;  // "LNT2"

// Takes the value converted to `type`; false when it does not convert.
bool Convert(const VARIANT& value, VARTYPE type, VARIANT& out) {
    VariantInit(&out);
    return SUCCEEDED(VariantChangeTypeEx(&out, const_cast<VARIANT*>(&value), LOCALE_USER_DEFAULT, 0, type));
}

bool ReadColor(PropertyStore& store, const wchar_t* name, lunar::OleColor& color) {
    VARIANT stored;
    VariantInit(&stored);
    if (FAILED(store.Read(name, &stored))) return false;
    VARIANT converted;
    bool ok = Convert(stored, VT_I4, converted);
    if (ok) {
        color = static_cast<lunar::OleColor>(V_I4(&converted));
    } else if ((ok = Convert(stored, VT_UI4, converted))) {
        color = V_UI4(&converted);
    }
    VariantClear(&converted);
    VariantClear(&stored);
    return ok;
}

bool ReadSwitch(PropertyStore& store, const wchar_t* name, bool& on) {
    VARIANT stored;
    VariantInit(&stored);
    if (FAILED(store.Read(name, &stored))) return false;
    VARIANT converted;
    const bool ok = Convert(stored, VT_BOOL, converted);
    if (ok) on = V_BOOL(&converted) != VARIANT_FALSE;
    VariantClear(&converted);
    VariantClear(&stored);
    return ok;
}

bool ReadDate(PropertyStore& store, const wchar_t* name, lunar::OleDate& date) {
    VARIANT stored;
    VariantInit(&stored);
    if (FAILED(store.Read(name, &stored))) return false;
    VARIANT converted;
    const bool ok = Convert(stored, VT_DATE, converted) && lunar::IsOleDate(V_DATE(&converted));
    if (ok) date = V_DATE(&converted);
    VariantClear(&converted);
    VariantClear(&stored);
    return ok;
}

HRESULT WriteColor(PropertyStore& store, const wchar_t* name, lunar::OleColor color, lunar::OleColor fallback) {
    if (color == fallback) return S_OK;
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_I4;
    V_I4(&value) = static_cast<LONG>(color);
    return store.Write(name, &value);
}

HRESULT WriteSwitch(PropertyStore& store, const wchar_t* name, bool on, bool fallback) {
    if (on == fallback) return S_OK;
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_BOOL;
    V_BOOL(&value) = on ? VARIANT_TRUE : VARIANT_FALSE;
    return store.Write(name, &value);
}

HRESULT WriteDate(PropertyStore& store, const wchar_t* name, lunar::OleDate date, lunar::OleDate fallback) {
    if (date == fallback) return S_OK;
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_DATE;
    V_DATE(&value) = date;
    return store.Write(name, &value);
}

}  // namespace

lunar::LunetraProperties ReadProperties(PropertyStore& store, lunar::OleDate today) {
    lunar::LunetraProperties p;
    p.Value = today;
    ReadColor(store, L"BottomBackColor", p.BottomBackColor);
    ReadColor(store, L"DateBackColor", p.DateBackColor);
    ReadColor(store, L"GridLinesColor", p.GridLinesColor);
    ReadColor(store, L"SelectColor", p.SelectColor);
    ReadSwitch(store, L"ShowVerticalGrid", p.ShowVerticalGrid);
    ReadSwitch(store, L"ShowHorizontalGrid", p.ShowHorizontalGrid);
    ReadColor(store, L"TitleBackColor", p.TitleBackColor);
    ReadColor(store, L"WeekBackColor", p.WeekBackColor);
    ReadDate(store, L"Value", p.Value);
    return p;
}

HRESULT WriteProperties(PropertyStore& store, const lunar::LunetraProperties& p, lunar::OleDate today) {
    const lunar::LunetraProperties d;
    HRESULT hr = S_OK;
    const auto keep = [&hr](HRESULT result) {
        if (SUCCEEDED(hr) && FAILED(result)) hr = result;
    };
    keep(WriteColor(store, L"BottomBackColor", p.BottomBackColor, d.BottomBackColor));
    keep(WriteColor(store, L"DateBackColor", p.DateBackColor, d.DateBackColor));
    keep(WriteColor(store, L"GridLinesColor", p.GridLinesColor, d.GridLinesColor));
    keep(WriteColor(store, L"SelectColor", p.SelectColor, d.SelectColor));
    keep(WriteSwitch(store, L"ShowVerticalGrid", p.ShowVerticalGrid, d.ShowVerticalGrid));
    keep(WriteSwitch(store, L"ShowHorizontalGrid", p.ShowHorizontalGrid, d.ShowHorizontalGrid));
    keep(WriteColor(store, L"TitleBackColor", p.TitleBackColor, d.TitleBackColor));
    keep(WriteColor(store, L"WeekBackColor", p.WeekBackColor, d.WeekBackColor));
    keep(WriteDate(store, L"Value", p.Value, today));
    return hr;
}

HRESULT BagStore::Read(const wchar_t* name, VARIANT* value) { return bag_->Read(name, value, log_); }

HRESULT BagStore::Write(const wchar_t* name, VARIANT* value) { return bag_->Write(name, value); }

HRESULT StreamStore::Read(const wchar_t* name, VARIANT* value) {
    for (const Entry& entry : entries_) {
        if (entry.name != name) continue;
        V_VT(value) = entry.type;
        switch (entry.type) {
            case VT_I4: V_I4(value) = static_cast<LONG>(entry.integer); break;
            case VT_BOOL: V_BOOL(value) = entry.integer ? VARIANT_TRUE : VARIANT_FALSE; break;
            case VT_DATE: V_DATE(value) = entry.date; break;
            default: V_VT(value) = VT_EMPTY; return E_INVALIDARG;
        }
        return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT StreamStore::Write(const wchar_t* name, VARIANT* value) {
    Entry entry{name, V_VT(value)};
    switch (V_VT(value)) {
        case VT_I4: entry.integer = V_I4(value); break;
        case VT_BOOL: entry.integer = V_BOOL(value) != VARIANT_FALSE; break;
        case VT_DATE: entry.date = V_DATE(value); break;
        default: return DISP_E_TYPEMISMATCH;
    }
    entries_.push_back(std::move(entry));
    return S_OK;
}

std::vector<char> StreamStore::Serialize() const {
    std::vector<char> body;
    const auto put = [&body](const void* data, std::size_t size) {
        const std::size_t at = body.size();
        body.resize(at + size);
        std::memcpy(body.data() + at, data, size);
    };
    const auto count = static_cast<std::uint32_t>(entries_.size());
    put(&count, sizeof(count));
    for (const Entry& entry : entries_) {
        const auto length = static_cast<std::uint16_t>(entry.name.size());
        put(&length, sizeof(length));
        put(entry.name.data(), length * sizeof(wchar_t));
        const std::uint16_t type = entry.type;
        put(&type, sizeof(type));
        if (entry.type == VT_I4) {
            const auto v = static_cast<std::int32_t>(entry.integer);
            put(&v, sizeof(v));
        } else if (entry.type == VT_BOOL) {
            const auto v = static_cast<std::int16_t>(entry.integer ? -1 : 0);
            put(&v, sizeof(v));
        } else {
            put(&entry.date, sizeof(entry.date));
        }
    }
    return body;
}

void StreamStore::Parse(const std::vector<char>& body) {
    entries_.clear();
    std::size_t at = 0;
    const auto take = [&](void* out, std::size_t size) {
        if (body.size() - at < size) return false;
        std::memcpy(out, body.data() + at, size);
        at += size;
        return true;
    };
    std::uint32_t count = 0;
    if (!take(&count, sizeof(count))) return;
    // A damaged body ends the reading; what was read so far counts.
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint16_t length = 0;
        if (!take(&length, sizeof(length))) return;
        std::wstring name(length, L'\0');
        if (!take(name.data(), length * sizeof(wchar_t))) return;
        std::uint16_t type = 0;
        if (!take(&type, sizeof(type))) return;
        Entry entry{std::move(name), type};
        if (type == VT_I4) {
            std::int32_t v = 0;
            if (!take(&v, sizeof(v))) return;
            entry.integer = v;
        } else if (type == VT_BOOL) {
            std::int16_t v = 0;
            if (!take(&v, sizeof(v))) return;
            entry.integer = v != 0;
        } else if (type == VT_DATE) {
            if (!take(&entry.date, sizeof(entry.date))) return;
        } else {
            return;
        }
        entries_.push_back(std::move(entry));
    }
}

HRESULT StreamStore::Save(IStream* stream) const {
    const std::vector<char> body = Serialize();
    const std::uint32_t header[2] = {kStreamMagic, static_cast<std::uint32_t>(body.size())};
    HRESULT hr = stream->Write(header, sizeof(header), nullptr);
    if (SUCCEEDED(hr)) hr = stream->Write(body.data(), static_cast<ULONG>(body.size()), nullptr);
    return hr;
}

HRESULT StreamStore::Load(IStream* stream) {
    std::uint32_t header[2] = {};
    ULONG read = 0;
    HRESULT hr = stream->Read(header, sizeof(header), &read);
    if (FAILED(hr)) return hr;
    if (read != sizeof(header) || header[0] != kStreamMagic) return E_FAIL;
    std::vector<char> body(header[1]);
    hr = stream->Read(body.data(), header[1], &read);
    if (FAILED(hr)) return hr;
    if (read != header[1]) return E_FAIL;
    Parse(body);
    return S_OK;
}

ULONG StreamStore::SizeMax() const { return static_cast<ULONG>(2 * sizeof(std::uint32_t) + Serialize().size()); }

}  // namespace lunetra
