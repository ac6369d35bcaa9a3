// The 休 and 班 a calendar shows on a day: 休 on the days off of a public
// holiday, 班 on the weekend days worked in exchange for one. The Lunetra
// month page marks its cells with them and the clock says them in its day
// tooltip and message.
#pragma once

#include <array>
#include <chrono>
#include <string>
#include <string_view>

#include "lunar/core/month_page.h"
#include "lunar/core/working_days.h"

namespace lunar {

// The day's status as a calendar shows it. A year before the built-in table
// that the user's file does not name shows no marks: the statutory holidays
// that stand in for an unknown year follow the law as amended in 2024, which
// those years did not keep. Outside the calendar's days: an ordinary day.
DayStatus ShownDayStatus(const WorkCalendar& calendar, std::chrono::sys_days day);

// "休", "班", or "" for an ordinary day.
std::string_view DayMarkSymbol(DayMark mark);

// "休 国庆节", "班 国庆节", "休" for a day off without a name, "" for an
// ordinary day.
std::string DayMarkText(const DayStatus& status);

// The mark of each cell of the month's page (none for the blank cells).
// Throws DateRangeError for a month outside 1..12.
std::array<DayMark, kDayCellCount> MonthDayMarks(int year, int month, const WorkCalendar& calendar);

}  // namespace lunar
