#include "clock/windows/wall_clock.h"

#include "clock/windows/test_hooks.h"

namespace tockly::win {

LocalTime Win32WallClock::now() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.weekday = st.wDayOfWeek == 0 ? 7 : st.wDayOfWeek;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.millisecond = st.wMilliseconds;
    if (const std::int64_t offset = wall_clock_offset_now()) {
        LocalTime shifted = local_time_at(t.local_seconds() + offset);
        shifted.millisecond = t.millisecond;
        return shifted;
    }
    return t;
}

}  // namespace tockly::win
