// Fonts from the design: a size in points at the screen's DPI, in the design
// face or a Chinese font that exists here when it does not (宋体 is missing
// on many systems, Wine among them).
#pragma once

#include <windows.h>

#include <string>

#include "win32kit/handles.h"

namespace win32kit {

std::wstring available_face(const char* design_face);

struct FontDesign {
    const char* face;
    double points;
    int weight = FW_NORMAL;
    // NONANTIALIASED_QUALITY where smoothed edges would show against a
    // see-through colour key.
    DWORD quality = DEFAULT_QUALITY;
};

// The GB2312 font of the design at `dpi` (the monitor's), or at the screen's
// logical DPI when it is 0.
unique_hfont font_from_points(const FontDesign& design, int dpi = 0);

}  // namespace win32kit
