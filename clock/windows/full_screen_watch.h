// The full-screen check on Windows: the foreground window against the
// monitor the clock is on, the shell's notification state, and the clock
// window's place in the window order.
#pragma once

#include <windows.h>

#include "clock/model/full_screen.h"

namespace tockly::win {

class Win32FullScreenWatch : public FullScreenWatch {
public:
    explicit Win32FullScreenWatch(HWND clock) : clock_(clock) {}
    std::optional<FrontWindow> front_window() override;
    PixelBox clock_monitor() override;
    UserState user_state() override;

private:
    HWND clock_;
};

class Win32ClockStacking : public ClockStacking {
public:
    explicit Win32ClockStacking(HWND clock) : clock_(clock) {}
    bool topmost() override;
    void step_behind_front() override;
    void make_topmost() override;

private:
    HWND clock_;
};

}  // namespace tockly::win
