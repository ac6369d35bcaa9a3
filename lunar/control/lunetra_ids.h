// The control's public identity beyond the GUIDs of Lunetra.idl: ProgID,
// DISPIDs, persisted names and the error it reports for dates outside the
// lunar table. Hosts and tests include this too.
#pragma once

#include <windows.h>

#include "Lunetra_h.h"

namespace lunetra {

inline constexpr const wchar_t* kProgId = L"Lunetra2.Lunetra";
inline constexpr const wchar_t* kOcxFileName = L"Lunetra.ocx";

inline constexpr DISPID kDispValue = 0x68030000;
inline constexpr DISPID kDispWeekBackColor = 0x68030001;
inline constexpr DISPID kDispTitleBackColor = 0x68030002;
inline constexpr DISPID kDispShowHorizontalGrid = 0x68030003;
inline constexpr DISPID kDispShowVerticalGrid = 0x68030004;
inline constexpr DISPID kDispSelectColor = 0x68030005;
inline constexpr DISPID kDispGridLinesColor = 0x68030006;
inline constexpr DISPID kDispDateBackColor = 0x68030007;
inline constexpr DISPID kDispBottomBackColor = 0x68030008;

inline constexpr DISPID kDispGetChineseDate = 0x60030022;
inline constexpr DISPID kDispGetChineseYear = 0x60030023;
inline constexpr DISPID kDispGetChineseMonth = 0x60030024;
inline constexpr DISPID kDispGetChineseDay = 0x60030025;
inline constexpr DISPID kDispGetChineseAnimal = 0x60030026;
inline constexpr DISPID kDispGetConstellation = 0x60030027;

inline constexpr DISPID kDispClick = 1;  // on __Lunetra

// "Subscript out of range" as a control reports it: a date the lunar table
// (1900-01-31 .. 2091-02-17) cannot answer for.
inline constexpr HRESULT kLunarRangeError = static_cast<HRESULT>(0x800A0009);

}  // namespace lunetra
