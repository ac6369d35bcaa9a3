#include "window_behaviour.h"

#include "startup.h"

namespace tockly {

WindowRect WindowBehaviour::park(WindowRect w, ScreenTwips s) {
    parked_ = true;
    w.left = s.width - parked_sliver_twips;
    if (w.top > s.height - w.height) w.top = s.height - w.height;
    if (w.top < 0) w.top = 0;
    return w;
}

WindowRect WindowBehaviour::after_label_drag(WindowRect w, ScreenTwips s) {
    if (w.left > s.width - w.width) w = park(w, s);
    return w;
}

WindowRect WindowBehaviour::after_background_drag(WindowRect w, ScreenTwips s) {
    w = after_label_drag(w, s);
    if (w.top > s.height - w.height) w.top = s.height - w.height;
    if (w.left < 0) w.left = 0;
    return w;
}

WindowRect WindowBehaviour::on_mouse_move(WindowRect w, ScreenTwips s) {
    if (!parked_) return w;
    w.left = s.width - w.width + form1::right_overhang_twips;
    parked_ = false;
    return w;
}

FacePoint menu_point_for_double_click() { return {0, 0}; }

TwipsPoint menu_point_for_label(const LabelDesign& label) {
    return {label.left + label.width, label.top};
}

}  // namespace tockly
