// The one way from lengths to pixels on the Windows side: every pixel length
// of a window goes through the DpiScale of the monitor that window is on.
// Twips stay twips; lengths designed in pixels were drawn for 96 dpi.
#pragma once

#include <windows.h>

#include "clock/support/twips_scale.h"

namespace tockly::win {

// The DPI of the monitor a window is on (GetDpiForWindow where the system has
// it), else the screen's logical pixels per inch, as older systems give them.
int dpi_for_window(HWND hwnd);
// The DPI new windows start with, before they are placed on a monitor.
int system_dpi();

class DpiScale {
public:
    DpiScale() = default;
    explicit DpiScale(int dpi) : scale_{dpi > 0 ? dpi : design_dpi} {}
    static DpiScale of(HWND hwnd) { return DpiScale(dpi_for_window(hwnd)); }

    int dpi() const { return scale_.dpi; }
    TwipsScale twips() const { return scale_; }
    // Twips to pixels, and back.
    int px(double twips) const { return scale_.to_px(twips); }
    int twips_of(double px) const { return scale_.to_twips(px); }
    // A length designed in pixels at 96 dpi.
    int scaled(double px_at_96) const { return scale_.scale(px_at_96); }
    // The height to ask CreateFont for, for a font of this many points.
    int font_height(double points) const { return scale_.font_height(points); }

private:
    TwipsScale scale_{};
};

}  // namespace tockly::win
