#include "clock/model/window_behaviour.h"

#include "clock/model/startup.h"

namespace tockly {

WindowRect WindowBehaviour::park_on(WindowRect w, const TwipsRect& monitor) {
    parked_ = true;
    w.left = monitor.right - parked_sliver_twips;
    if (w.top > monitor.bottom - w.height) w.top = monitor.bottom - w.height;
    if (w.top < monitor.top) w.top = monitor.top;
    return w;
}

WindowRect WindowBehaviour::park(WindowRect w, const MonitorLayout& m) {
    return park_on(w, m.parking(m.holding(w), w));
}

WindowRect WindowBehaviour::after_label_drag(WindowRect w, const MonitorLayout& m) {
    const TwipsRect& monitor = m.holding(w);
    // Past an edge that another monitor carries on, the window has only moved over.
    if (w.left > monitor.right - w.width && !m.continued_right(monitor, w)) w = park_on(w, monitor);
    return w;
}

WindowRect WindowBehaviour::after_background_drag(WindowRect w, const MonitorLayout& m) {
    w = after_label_drag(w, m);
    const TwipsRect& monitor = m.holding(w);
    if (w.top > monitor.bottom - w.height && !m.continued_below(monitor, w)) w.top = monitor.bottom - w.height;
    if (w.left < monitor.left && !m.continued_left(monitor, w)) w.left = monitor.left;
    return w;
}

WindowRect WindowBehaviour::on_mouse_move(WindowRect w, const MonitorLayout& m) {
    if (!parked_) return w;
    w.left = m.holding(w).right - w.width + clock_design::right_overhang_twips;
    parked_ = false;
    return w;
}

FacePoint menu_point_for_double_click() { return {0, 0}; }

TwipsPoint menu_point_for_label(const LabelDesign& label) {
    return {label.left + label.width, label.top};
}

}  // namespace tockly
