#include "clock/windows/wall_clock.h"

#include "clock/windows/test_hooks.h"

namespace tockly::win {

namespace {

// Read once: the end-to-end tests set it before the clock starts.
std::int64_t test_offset_seconds() {
    static const std::int64_t offset = read_test_hooks().wall_clock_offset_seconds;
    return offset;
}

}  // namespace

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
    if (const std::int64_t offset = test_offset_seconds()) {
        LocalTime shifted = local_time_at(t.local_seconds() + offset);
        shifted.millisecond = t.millisecond;
        return shifted;
    }
    return t;
}

}  // namespace tockly::win
