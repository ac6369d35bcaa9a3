// The monitors of the desktop as the clock window's rules see them, in twips
// on the virtual screen (the primary monitor's top-left is 0, 0; a monitor
// left of or above it has negative coordinates).
#pragma once

#include <cstddef>
#include <vector>

namespace tockly {

struct WindowRect {
    int left = 0, top = 0, width = 0, height = 0;
};

struct TwipsRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct MonitorLayout {
    // The primary monitor first. Never empty: see single().
    std::vector<TwipsRect> monitors;

    static MonitorLayout single(int width, int height) { return {{{0, 0, width, height}}}; }

    // The monitor that holds most of the window; a window on none of them
    // belongs to the one nearest to its centre.
    const TwipsRect& holding(const WindowRect& w) const;
    // Where a window on `from` parks: the right edge of the right-most
    // monitor of its row, the row followed beside the window.
    const TwipsRect& parking(const TwipsRect& from, const WindowRect& w) const;
    // Whether another monitor carries on past an edge of `m` beside the
    // window (left, right) or under it (below).
    bool continued_right(const TwipsRect& m, const WindowRect& w) const;
    bool continued_left(const TwipsRect& m, const WindowRect& w) const;
    bool continued_below(const TwipsRect& m, const WindowRect& w) const;
};

// The platform's side: the monitors as they are now.
class Monitors {
public:
    virtual ~Monitors() = default;
    virtual MonitorLayout layout() = 0;
};

}  // namespace tockly
