// How the borderless clock window moves: the corrections after a drag,
// parking at the right screen edge and coming back, and where its menus open.
// Lengths are in twips.
//
// On a desktop of several monitors every rule uses the monitor that holds the
// window, and an edge that another monitor carries on is no edge: the window
// only parks against a right edge with nothing beyond it, and is only pulled
// back over a left or bottom edge with nothing beyond it.
#pragma once

#include "clock/model/face.h"
#include "clock/model/monitor_layout.h"

namespace tockly {

// One monitor of this size at 0, 0.
struct ScreenTwips {
    int width = 0, height = 0;
};

inline constexpr int parked_sliver_twips = 120;

class WindowBehaviour {
public:
    // After the system has moved the window in a drag from the background:
    // park past the right edge, pull back from below the bottom, and from
    // left of the left edge. A drag above the top stays (the start-up top is
    // above it too).
    WindowRect after_background_drag(WindowRect w, const MonitorLayout& m);
    // After a drag from time_label, weekday_label, year_month_label or studio_label: only the park rule.
    WindowRect after_label_drag(WindowRect w, const MonitorLayout& m);
    // KaoBian, and a drag that ends past the right edge.
    WindowRect park(WindowRect w, const MonitorLayout& m);
    // Any mouse movement over a parked window brings it back to the start-up
    // column of its monitor, top unchanged. Nothing changes when it is not parked.
    WindowRect on_mouse_move(WindowRect w, const MonitorLayout& m);

    WindowRect after_background_drag(WindowRect w, ScreenTwips s) { return after_background_drag(w, one(s)); }
    WindowRect after_label_drag(WindowRect w, ScreenTwips s) { return after_label_drag(w, one(s)); }
    WindowRect park(WindowRect w, ScreenTwips s) { return park(w, one(s)); }
    WindowRect on_mouse_move(WindowRect w, ScreenTwips s) { return on_mouse_move(w, one(s)); }

    bool parked() const { return parked_; }

private:
    static MonitorLayout one(ScreenTwips s) { return MonitorLayout::single(s.width, s.height); }
    WindowRect park_on(WindowRect w, const TwipsRect& monitor);
    bool parked_ = false;
};

// Where the right-click menu opens, in face coordinates (-1..1, y upwards).
FacePoint menu_point_for_double_click();
// A label's top-right corner (label left + width, label top), in client twips.
struct TwipsPoint {
    int x = 0, y = 0;
};
TwipsPoint menu_point_for_label(const LabelDesign& label);

}  // namespace tockly
