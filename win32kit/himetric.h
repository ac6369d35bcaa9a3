// HIMETRIC (0.01 mm), the unit OLE gives the sizes of objects and pictures
// in, against pixels of the screen.
#pragma once

#include <windows.h>

namespace win32kit {

// The screen's logical pixels per inch along LOGPIXELSX or LOGPIXELSY; 96
// where it tells none.
int screen_pixels_per_inch(int axis);

int pixels_from_himetric(long himetric, int axis);
long himetric_from_pixels(int pixels, int axis);
// Both axes of a size.
SIZE pixels_from_himetric(SIZEL himetric);

}  // namespace win32kit
