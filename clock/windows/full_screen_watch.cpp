#include "clock/windows/full_screen_watch.h"

#include <shellapi.h>

#include "win32kit/text_codec.h"

namespace tockly::win {

namespace {

PixelBox box_of(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

std::optional<FrontWindow> Win32FullScreenWatch::front_window() {
    HWND front = GetForegroundWindow();
    if (!front) return std::nullopt;
    FrontWindow w;
    wchar_t name[64] = {};
    GetClassNameW(front, name, static_cast<int>(std::size(name)));
    w.class_name = win32kit::narrow(name);
    RECT r{};
    GetWindowRect(front, &r);
    w.rect = box_of(r);
    w.visible = IsWindowVisible(front) != 0;
    w.minimised = IsIconic(front) != 0;
    DWORD process = 0;
    GetWindowThreadProcessId(front, &process);
    w.clock_own = process == GetCurrentProcessId();
    return w;
}

PixelBox Win32FullScreenWatch::clock_monitor() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromWindow(clock_, MONITOR_DEFAULTTONEAREST), &info)) return box_of(info.rcMonitor);
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

UserState Win32FullScreenWatch::user_state() {
    QUERY_USER_NOTIFICATION_STATE state{};
    if (FAILED(SHQueryUserNotificationState(&state))) return UserState::other;
    switch (state) {
    case QUNS_ACCEPTS_NOTIFICATIONS: return UserState::accepts_notices;
    case QUNS_BUSY: return UserState::busy;
    case QUNS_PRESENTATION_MODE: return UserState::presentation;
    case QUNS_RUNNING_D3D_FULL_SCREEN: return UserState::d3d_full_screen;
    default: return UserState::other;
    }
}

bool Win32ClockStacking::topmost() { return (GetWindowLongW(clock_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

void Win32ClockStacking::step_behind_front() {
    constexpr UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    if (topmost()) SetWindowPos(clock_, HWND_NOTOPMOST, 0, 0, 0, 0, keep);
    // Out of the top-most band the clock would still stand above a program
    // in front that is not top-most itself. (Behind a top-most one it is out
    // of the way already, and placing it there would make it top-most again.)
    HWND front = GetForegroundWindow();
    if (!front || front == clock_ || (GetWindowLongW(front, GWL_EXSTYLE) & WS_EX_TOPMOST)) return;
    bool above = false;
    for (HWND w = GetWindow(front, GW_HWNDPREV); w && !above; w = GetWindow(w, GW_HWNDPREV)) above = w == clock_;
    if (!above) return;
    // An owned window always stands above its owner: the hidden owner that
    // keeps the clock off the taskbar goes behind the program first.
    if (HWND owner = GetWindow(clock_, GW_OWNER)) SetWindowPos(owner, front, 0, 0, 0, 0, keep);
    SetWindowPos(clock_, front, 0, 0, 0, 0, keep);
}

void Win32ClockStacking::make_topmost() {
    SetWindowPos(clock_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace tockly::win
