// The desktop's monitors for the clock's window rules, in twips.
#pragma once

#include <windows.h>

#include "clock/model/monitor_layout.h"
#include "clock/model/notice_band_model.h"
#include "clock/support/twips_scale.h"

namespace tockly::win {

// The monitors as the system has them now, the primary first; a system that
// lists none gives the primary screen alone.
MonitorLayout current_monitor_layout(TwipsScale scale);

// The monitor a window is on (the nearest, when it is on none), in twips at
// that window's DPI.
class Win32ClockMonitor : public ClockMonitor {
public:
    explicit Win32ClockMonitor(HWND hwnd) : hwnd_(hwnd) {}
    TwipsRect clock_monitor() override;

private:
    HWND hwnd_;
};

}  // namespace tockly::win
