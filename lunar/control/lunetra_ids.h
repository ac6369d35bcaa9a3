// The control's public identity beyond what Lunetra.idl says (the GUIDs and
// the DISPIDs, in the generated Lunetra_h.h): ProgID, file name and the error
// it reports for dates outside the lunar table. Hosts and tests include this too.
#pragma once

#include <windows.h>

#include "Lunetra_h.h"

namespace lunetra {

inline constexpr const wchar_t* kProgId = L"Lunetra2.Lunetra";
inline constexpr const wchar_t* kOcxFileName = L"Lunetra.ocx";

// "Subscript out of range" as a control reports it: a date the lunar table
// (1900-01-31 .. 2091-02-17) cannot answer for.
inline constexpr HRESULT kLunarRangeError = static_cast<HRESULT>(0x800A0009);

}  // namespace lunetra
