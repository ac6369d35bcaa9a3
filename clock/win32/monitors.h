// The desktop's monitors for the clock's window rules, in twips.
#pragma once

#include <windows.h>

#include "monitor_layout.h"
#include "tishi.h"

namespace tockly::win {

// The monitors as the system has them now, the primary first; a system that
// lists none gives the primary screen alone.
MonitorLayout current_monitor_layout(int twips_per_pixel_x, int twips_per_pixel_y);

// The monitor a window is on (the nearest, when it is on none).
class Win32ClockMonitor : public ClockMonitor {
public:
    Win32ClockMonitor(HWND hwnd, int twips_per_pixel_x, int twips_per_pixel_y)
        : hwnd_(hwnd), x_(twips_per_pixel_x), y_(twips_per_pixel_y) {}
    TwipsRect clock_monitor() override;

private:
    HWND hwnd_;
    int x_, y_;
};

}  // namespace tockly::win
