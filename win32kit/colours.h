// OLE colours (0x00BBGGRR, or 0x800000nn for system colour nn) as GDI colours.
#pragma once

#include <windows.h>

namespace win32kit {

// Through OleTranslateColor, so a system colour follows the user's scheme.
// A colour it refuses keeps its low three bytes.
COLORREF colorref_from_ole(unsigned ole_colour);

}  // namespace win32kit
