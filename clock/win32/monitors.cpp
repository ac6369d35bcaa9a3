#include "monitors.h"

namespace tockly::win {

namespace {

TwipsRect to_twips(const RECT& r, int x, int y) { return {r.left * x, r.top * y, r.right * x, r.bottom * y}; }

}  // namespace

MonitorLayout current_monitor_layout(int twips_per_pixel_x, int twips_per_pixel_y) {
    struct Found { std::vector<RECT> primary, others; } found;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM lp) -> BOOL {
            auto* f = reinterpret_cast<Found*>(lp);
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info))
                (info.dwFlags & MONITORINFOF_PRIMARY ? f->primary : f->others).push_back(info.rcMonitor);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    MonitorLayout layout;
    for (const auto* list : {&found.primary, &found.others})
        for (const RECT& r : *list) layout.monitors.push_back(to_twips(r, twips_per_pixel_x, twips_per_pixel_y));
    if (layout.monitors.empty())
        layout = MonitorLayout::single(GetSystemMetrics(SM_CXSCREEN) * twips_per_pixel_x,
                                       GetSystemMetrics(SM_CYSCREEN) * twips_per_pixel_y);
    return layout;
}

TwipsRect Win32ClockMonitor::clock_monitor() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &info)) return to_twips(info.rcMonitor, x_, y_);
    return {0, 0, GetSystemMetrics(SM_CXSCREEN) * x_, GetSystemMetrics(SM_CYSCREEN) * y_};
}

}  // namespace tockly::win
