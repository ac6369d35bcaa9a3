// Out of the way of full-screen programs: while a video, a game or a
// presentation covers the monitor the clock is on, the clock is not
// top-most and keeps quiet (no chimes, no ticking, no start-up or hourly
// notice); an alarm still rings and shows its notice on top. When the
// program leaves, the clock is back where it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "clock/model/face_layout.h"
#include "clock/model/notice_band_model.h"

namespace tockly {

// The window in front (the foreground window), as the check needs it.
struct FrontWindow {
    std::string class_name;
    PixelBox rect;  // on the virtual screen
    bool visible = true;
    bool minimised = false;
    bool clock_own = false;  // one of the clock's own windows
};

// What the system itself says of the user (its notification state).
enum class UserState { accepts_notices, busy, presentation, d3d_full_screen, other };

// The desktop and the taskbar cover a monitor without being a program in front.
bool is_shell_window(std::string_view class_name);
// Whether `front` is a program covering the whole of `monitor`.
bool covers_monitor(const FrontWindow& front, const PixelBox& monitor);

class FullScreenWatch {
public:
    virtual ~FullScreenWatch() = default;
    virtual std::optional<FrontWindow> front_window() = 0;
    // The monitor the clock window is on, in pixels on the virtual screen.
    virtual PixelBox clock_monitor() = 0;
    virtual UserState user_state() = 0;
};

// A full-screen program in front of the clock's monitor, or the system
// saying the user is busy, presenting or in a full-screen game.
bool full_screen_in_front(FullScreenWatch& watch);

// The clock window's place in the window order.
class ClockStacking {
public:
    virtual ~ClockStacking() = default;
    virtual bool topmost() = 0;
    // No longer top-most, and behind the window in front; nothing when it
    // is there already.
    virtual void step_behind_front() = 0;
    virtual void make_topmost() = 0;
};

class FullScreenGuard {
public:
    FullScreenGuard(FullScreenWatch& watch, ClockStacking& stacking) : watch_(watch), stacking_(stacking) {}
    // Once every handled second; `stay_on_top` is the user's setting to keep
    // the clock top-most all the same. True while the clock keeps quiet.
    bool on_second(bool stay_on_top);
    bool quiet() const { return quiet_; }
    bool stepped_aside() const { return stepped_aside_; }

private:
    FullScreenWatch& watch_;
    ClockStacking& stacking_;
    bool quiet_ = false;
    bool stepped_aside_ = false;
    bool was_topmost_ = false;
};

// The start-up notice goes through this: nothing is shown while a
// full-screen program is in front.
class QuietNotices : public Notices {
public:
    QuietNotices(Notices& inner, FullScreenWatch& watch) : inner_(inner), watch_(watch) {}
    void show_notice(std::int32_t in_time, std::int32_t stop_time, std::int32_t out_time, std::string_view text) override;

private:
    Notices& inner_;
    FullScreenWatch& watch_;
};

}  // namespace tockly
