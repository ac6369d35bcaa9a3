// The days the alarms ring on: each row's repeat rule (clock_state's
// AlarmRow::rule, key <row>cf) over China's working days. The tick asks
// AlarmSchedule, which works every row out once a day and after each change
// of the rows, never in every second.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clock/model/clock_state.h"
#include "clock/support/local_time.h"
#include "clock/support/ports.h"
#include "clock/support/time_text.h"
#include "lunar/core/repeat_rule.h"

namespace tockly {

namespace alarm_days {
// Beside Tockly.exe: the user's own holiday arrangements.
inline constexpr std::string_view holiday_file_name = "节假日.txt";
}  // namespace alarm_days

// The rule of a row; daily for an empty text and for one the program cannot
// read, so an alarm is never switched off by a rule it does not understand.
lunar::RepeatRule alarm_rule(const AlarmRow& row);
bool alarm_rule_readable(const AlarmRow& row);

std::chrono::sys_days local_day(const LocalTime& t);

// Whether row's rule holds on the day. Outside 1901..2090, where the rules
// know nothing, every alarm rings as it always has.
bool rings_on(const ClockGlobals& g, int row, std::chrono::sys_days day);

// The day the row rings next: today while its time is still ahead, else the
// next day its rule holds. Nothing for a row without a readable time, a
// `once` in the past, or beyond 2090.
std::optional<std::chrono::sys_days> next_ring_day(const ClockGlobals& g, int row, const LocalTime& now,
                                                   TimeFormat format);

// The local second (LocalTime::local_seconds) of the next ring after `now`:
// the earliest next ring of any row in use, rules respected, or the pending
// snooze if it comes first. Nothing when no alarm will ring again. This is
// what a wake-up timer is set to.
std::optional<std::int64_t> next_due_ring(const ClockGlobals& g, const LocalTime& now, TimeFormat format);

// Reads 节假日.txt beside the program into g.work_calendar (a missing file
// leaves the built-in arrangements). Returns the notice about lines it
// skipped, or an empty text.
std::string load_holiday_file(FileSystem& files, AnsiCodec& codec, ClockGlobals& g);
std::string holiday_file_problem_text(const std::vector<lunar::HolidayFileProblem>& problems);
// Said once when a working-day alarm reaches a year not yet published.
std::string unpublished_year_text(int year);

class AlarmSchedule {
public:
    // Works every row out again when the day or the rows changed since the
    // last call; true when it did.
    bool refresh(const ClockGlobals& g, std::chrono::sys_days today);
    // Today's answer from the last refresh; another day is worked out.
    bool rings_on(const ClockGlobals& g, int row, std::chrono::sys_days day) const;
    // A year without a published arrangement that the next ring of a
    // workday or restday alarm falls in, or 0.
    int unpublished_year() const { return unpublished_year_; }

private:
    std::optional<std::chrono::sys_days> day_;
    int version_ = 0;
    std::array<bool, 10> today_{};
    int unpublished_year_ = 0;
};

}  // namespace tockly
