// Saving and loading the nine properties: the rules (each property under its
// name, a value equal to its default not stored, the default of Value being
// the day of saving or loading) and the two places they go to, a host's
// property bag or a stream.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "lunar/core/month_grid.h"

namespace lunetra {

class PropertyStore {
public:
    virtual ~PropertyStore() = default;
    // Fills `value` (VT_EMPTY on entry) and returns S_OK, or fails when the
    // store holds nothing under the name.
    virtual HRESULT Read(const wchar_t* name, VARIANT* value) = 0;
    virtual HRESULT Write(const wchar_t* name, VARIANT* value) = 0;
};

// Each property by its name, converted to its type; a missing entry, or one
// that does not convert, gives the property's default (`today` for Value).
lunar::LunetraProperties ReadProperties(PropertyStore& store, lunar::OleDate today);

// Each property whose value differs from its default, in the order of the
// properties; `today` is the default of Value.
HRESULT WriteProperties(PropertyStore& store, const lunar::LunetraProperties& properties, lunar::OleDate today);

// A host's IPropertyBag.
class BagStore final : public PropertyStore {
public:
    BagStore(IPropertyBag* bag, IErrorLog* log) : bag_(bag), log_(log) {}
    HRESULT Read(const wchar_t* name, VARIANT* value) override;
    HRESULT Write(const wchar_t* name, VARIANT* value) override;

private:
    IPropertyBag* bag_;
    IErrorLog* log_;
};

// The entries in memory, written to a stream and read back from it: a
// header with its own length, so that a reader always ends where the writer
// stopped, even when it cannot use what it finds.
class StreamStore final : public PropertyStore {
public:
    HRESULT Read(const wchar_t* name, VARIANT* value) override;
    HRESULT Write(const wchar_t* name, VARIANT* value) override;

    HRESULT Load(IStream* stream);
    HRESULT Save(IStream* stream) const;
    ULONG SizeMax() const;

private:
    struct Entry {
        std::wstring name;
        VARTYPE type = VT_EMPTY;
        long long integer = 0;  // VT_I4, VT_BOOL
        double date = 0;        // VT_DATE
    };
    std::vector<char> Serialize() const;
    void Parse(const std::vector<char>& body);

    std::vector<Entry> entries_;
};

}  // namespace lunetra
