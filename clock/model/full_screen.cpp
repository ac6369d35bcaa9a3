#include "clock/model/full_screen.h"

#include <array>

namespace tockly {

bool is_shell_window(std::string_view class_name) {
    // The desktop (the system's own window, the shell's and the one behind
    // its icons) and the taskbar.
    static constexpr std::array<std::string_view, 4> shell{"#32769", "Progman", "WorkerW", "Shell_TrayWnd"};
    for (const auto name : shell)
        if (class_name == name) return true;
    return false;
}

bool covers_monitor(const FrontWindow& front, const PixelBox& monitor) {
    if (!front.visible || front.minimised || front.clock_own || is_shell_window(front.class_name)) return false;
    if (monitor.width() <= 0 || monitor.height() <= 0) return false;
    const PixelBox& r = front.rect;
    return r.left <= monitor.left && r.top <= monitor.top && r.right >= monitor.right && r.bottom >= monitor.bottom;
}

bool full_screen_in_front(FullScreenWatch& watch) {
    // The window rectangle first: it is the cheap question, asked every second.
    if (const auto front = watch.front_window(); front && covers_monitor(*front, watch.clock_monitor())) return true;
    const UserState s = watch.user_state();
    return s == UserState::busy || s == UserState::presentation || s == UserState::d3d_full_screen;
}

bool FullScreenGuard::on_second(bool stay_on_top) {
    quiet_ = full_screen_in_front(watch_);
    const bool aside = quiet_ && !stay_on_top;
    if (aside) {
        if (!stepped_aside_) was_topmost_ = stacking_.topmost();
        stepped_aside_ = true;
        // Every second: the window order may have moved the clock up again.
        stacking_.step_behind_front();
    } else if (stepped_aside_) {
        if (was_topmost_) stacking_.make_topmost();
        stepped_aside_ = false;
    }
    return quiet_;
}

void QuietNotices::show_notice(std::int32_t in_time, std::int32_t stop_time, std::int32_t out_time,
                               std::string_view text) {
    if (full_screen_in_front(watch_)) return;
    inner_.show_notice(in_time, stop_time, out_time, text);
}

}  // namespace tockly
