// Setting the local clock and the monotonic clock (see time_guard_ports.h).
#include <windows.h>

#include "win32kit/handles.h"
#include "clock/windows/time_guard_ports.h"

namespace tockly::win {

using namespace win32kit;

namespace {

// Asks for the right to set the system time. False when the account does not
// hold it (the token then reports that not all privileges were assigned).
bool enable_system_time_privilege() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return false;
    const unique_handle token(raw);
    TOKEN_PRIVILEGES wanted{};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &wanted.Privileges[0].Luid)) return false;
    if (!AdjustTokenPrivileges(token.get(), FALSE, &wanted, 0, nullptr, nullptr)) return false;
    return GetLastError() == ERROR_SUCCESS;
}

}  // namespace

bool Win32ClockSetter::set_time_of_day(int seconds) {
    if (seconds < 0 || seconds >= 24 * 3600 || !enable_system_time_privilege()) return false;
    SYSTEMTIME t{};
    GetLocalTime(&t);
    t.wHour = static_cast<WORD>(seconds / 3600);
    t.wMinute = static_cast<WORD>(seconds / 60 % 60);
    t.wSecond = static_cast<WORD>(seconds % 60);
    t.wMilliseconds = 0;
    return SetLocalTime(&t) != 0;
}

bool Win32ClockSetter::set_date(int year, unsigned month, unsigned day) {
    if (!enable_system_time_privilege()) return false;
    SYSTEMTIME t{};
    GetLocalTime(&t);
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    return SetLocalTime(&t) != 0;
}

std::int64_t Win32MonotonicClock::now_ms() { return static_cast<std::int64_t>(GetTickCount64()); }

}  // namespace tockly::win
