// Twips are 1/1440 inch on every screen; the dots per inch of the screen the
// window is on turn them into pixels. Lengths designed in pixels (the face
// region, pen widths) were drawn for 96 dpi and grow with the same factor.
#pragma once

#include <cmath>

namespace tockly {

inline constexpr int twips_per_inch = 1440;
inline constexpr int design_dpi = 96;

struct TwipsScale {
    int dpi = design_dpi;

    int to_px(double twips) const { return static_cast<int>(std::lround(twips * dpi / twips_per_inch)); }
    int to_twips(double px) const { return static_cast<int>(std::lround(px * twips_per_inch / dpi)); }
    // A length designed in pixels at 96 dpi.
    int scale(double px_at_96) const { return static_cast<int>(std::lround(px_at_96 * dpi / design_dpi)); }
    // Character height in pixels of a font of this many points (negative: the
    // em height, not the cell height, as fonts are asked for).
    int font_height(double points) const { return -static_cast<int>(std::lround(points * dpi / 72.0)); }
};

}  // namespace tockly
