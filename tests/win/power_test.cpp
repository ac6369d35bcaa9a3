// The wake timer against the real system: the due time the clock hands to
// SetWaitableTimer is the next alarm's local time (less the lead), and it
// moves when the settings do. Wine cannot put the machine to sleep, so the
// wake itself is not seen here; the call with resume is.
#include <gtest/gtest.h>

#include <windows.h>

#include "clock/model/wake_plan.h"
#include "clock/windows/power.h"

namespace tockly::win {
namespace {

// The local time, by that day's time-zone rules, of a due time handed to the system.
std::int64_t local_seconds_of(const FILETIME& utc_due) {
    SYSTEMTIME utc{}, local{};
    FileTimeToSystemTime(&utc_due, &utc);
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    return LocalTime{local.wYear, local.wMonth, local.wDay, 1, local.wHour, local.wMinute, local.wSecond, 0}
        .local_seconds();
}

std::int64_t at(int y, unsigned m, unsigned d, int h, int mi) { return LocalTime{y, m, d, 1, h, mi, 0, 0}.local_seconds(); }

TEST(WakeTimer, TheDueTimeIsTheNextAlarmsLocalTimeAndFollowsTheSettings) {
    Win32WakeTimer timer;
    WakePlan plan(timer);
    ClockGlobals g;
    g.alarm_count = 1;
    g.alarms[0] = {"7:30:00", "a.mp3", "", "week:6"};  // Saturdays
    g.wake_for_alarms = true;
    const TimeFormat format;
    const LocalTime friday_night = local_time_at(at(2027, 1, 1, 22, 0));

    plan.on_second(g, friday_night, format);
    ASSERT_TRUE(timer.due()) << "SetWaitableTimer with resume refused: " << GetLastError();
    EXPECT_EQ(local_seconds_of(*timer.due()), at(2027, 1, 2, 7, 30) - wake::lead_seconds);

    g.alarms[0].time = "6:45:00";
    ++g.alarms_version;
    plan.on_second(g, local_time_at(friday_night.local_seconds() + 1), format);
    ASSERT_TRUE(timer.due());
    EXPECT_EQ(local_seconds_of(*timer.due()), at(2027, 1, 2, 6, 45) - wake::lead_seconds);

    g.pending_snooze = PendingSnooze{0, at(2027, 1, 1, 22, 10), 1};
    plan.on_second(g, local_time_at(friday_night.local_seconds() + 2), format);
    ASSERT_TRUE(timer.due());
    EXPECT_EQ(local_seconds_of(*timer.due()), at(2027, 1, 1, 22, 10) - wake::lead_seconds) << "the pending snooze";

    g.wake_for_alarms = false;
    plan.on_second(g, local_time_at(friday_night.local_seconds() + 3), format);
    EXPECT_FALSE(timer.due()) << "off: the timer is cancelled";
}

TEST(KeepAwake, TheRingsStateIsSetAndCleared) {
    Win32KeepAwake awake;
    awake.keep_awake(true);
    const EXECUTION_STATE during = SetThreadExecutionState(ES_CONTINUOUS);
    awake.keep_awake(true);
    awake.keep_awake(false);
    const EXECUTION_STATE after = SetThreadExecutionState(ES_CONTINUOUS);
    constexpr EXECUTION_STATE ring = ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED | ES_CONTINUOUS;
    EXPECT_EQ(during & ring, ring);
    EXPECT_EQ(after & (ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED), 0u);
}

}  // namespace
}  // namespace tockly::win
