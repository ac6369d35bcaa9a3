#include "win32kit/himetric.h"

#include "win32kit/handles.h"

namespace win32kit {

namespace {

constexpr int kHimetricPerInch = 2540;

}  // namespace

int screen_pixels_per_inch(int axis) {
    ScopedGetDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen, axis);
    return dpi > 0 ? dpi : 96;
}

int pixels_from_himetric(long himetric, int axis) {
    return MulDiv(himetric, screen_pixels_per_inch(axis), kHimetricPerInch);
}

long himetric_from_pixels(int pixels, int axis) {
    return MulDiv(pixels, kHimetricPerInch, screen_pixels_per_inch(axis));
}

SIZE pixels_from_himetric(SIZEL himetric) {
    return {pixels_from_himetric(himetric.cx, LOGPIXELSX), pixels_from_himetric(himetric.cy, LOGPIXELSY)};
}

}  // namespace win32kit
