#include "clock/windows/monitors.h"

#include "clock/windows/dpi_scale.h"

namespace tockly::win {

namespace {

TwipsRect to_twips(const RECT& r, TwipsScale scale) {
    return {scale.to_twips(r.left), scale.to_twips(r.top), scale.to_twips(r.right), scale.to_twips(r.bottom)};
}

}  // namespace

MonitorLayout current_monitor_layout(TwipsScale scale) {
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
        for (const RECT& r : *list) layout.monitors.push_back(to_twips(r, scale));
    if (layout.monitors.empty())
        layout = MonitorLayout::single(scale.to_twips(GetSystemMetrics(SM_CXSCREEN)),
                                       scale.to_twips(GetSystemMetrics(SM_CYSCREEN)));
    return layout;
}

TwipsRect Win32ClockMonitor::clock_monitor() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const TwipsScale scale{dpi_for_window(hwnd_)};
    if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &info)) return to_twips(info.rcMonitor, scale);
    return {0, 0, scale.to_twips(GetSystemMetrics(SM_CXSCREEN)), scale.to_twips(GetSystemMetrics(SM_CYSCREEN))};
}

}  // namespace tockly::win
