// Dates as the control's callers hand them over: OLE dates, a double counting
// days since 1899-12-30 whose fraction is the time of day.
#pragma once

#include <chrono>
#include <stdexcept>
#include <string>

namespace lunar {

using OleDate = double;

// Raised for any date or year that the calendar data cannot answer for
// (outside the lunar table, outside the OLE date range, not a number).
class DateRangeError : public std::out_of_range {
public:
    explicit DateRangeError(const std::string& what) : std::out_of_range(what) {}
};

inline constexpr std::chrono::sys_days kOleEpoch =
    std::chrono::sys_days{std::chrono::year{1899} / 12 / 30};

// Serial of the day at midnight.
constexpr OleDate ToOleDate(std::chrono::sys_days day) {
    return static_cast<OleDate>((day - kOleEpoch).count());
}

constexpr OleDate ToOleDate(std::chrono::year_month_day day) {
    return ToOleDate(std::chrono::sys_days{day});
}

// The calendar day of an OLE date, its time of day dropped. Before the epoch
// OLE dates count the day towards zero and the time of day upwards
// (-1.25 is 1899-12-29 06:00), so the day is the value truncated, not floored.
// Throws DateRangeError outside 0100-01-01 .. 9999-12-31.
std::chrono::sys_days OleDateDay(OleDate date);

// "YYYY-MM-DD" of a calendar day.
std::string IsoDateText(std::chrono::year_month_day day);

}  // namespace lunar
