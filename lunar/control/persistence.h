// Saving and loading the properties through a host's property bag or
// stream. Which properties are saved, and the stream's record with its
// checks, are portable (lunar/core/saved_properties.h); here are the COM
// sides of both.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "lunar/core/month_grid.h"

namespace lunetra {

// Each property by its name, converted to its type. An entry that is
// missing, empty, not a plain value or not one the control can hold keeps
// the property's default (`today` for Value).
lunar::LunetraProperties ReadBag(IPropertyBag* bag, IErrorLog* log, lunar::OleDate today);

// Each property that differs from its default, in the order of the
// properties; `today` is the default of Value.
HRESULT WriteBag(IPropertyBag* bag, const lunar::LunetraProperties& properties, lunar::OleDate today);

// The record at the stream's position, with the "LNT+" record of the added
// properties when that follows, read to its end and no further. A record
// that is not whole and sound is an error and leaves `properties` as they
// were.
HRESULT ReadStream(IStream* stream, lunar::OleDate today, lunar::LunetraProperties& properties);

HRESULT WriteStream(IStream* stream, const lunar::LunetraProperties& properties, lunar::OleDate today);

// The bytes WriteStream writes.
ULONG StreamSize(const lunar::LunetraProperties& properties, lunar::OleDate today);

}  // namespace lunetra
