#include "win32kit/colours.h"

#include <ole2.h>
#include <olectl.h>

namespace win32kit {

COLORREF colorref_from_ole(unsigned ole_colour) {
    COLORREF result = 0;
    if (FAILED(OleTranslateColor(static_cast<OLE_COLOR>(ole_colour), nullptr, &result))) result = ole_colour & 0xFFFFFF;
    return result;
}

}  // namespace win32kit
