// The lunar table of the years 1900..2090 and the conversion of a Gregorian
// day into a lunar date.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "lunar/core/ole_date.h"

namespace lunar {

inline constexpr int kFirstLunarYear = 1900;
inline constexpr int kLastLunarYear = 2090;

// One entry per lunar year 1900..2090 (index = year - 1900):
//   bit 16      the leap month has 30 days (else 29)
//   bits 15..4  ordinary month m has 30 days when bit (16 - m) is set
//   bits 3..0   number of the leap month, 0 = none; it follows ordinary month
//               of the same number
extern const std::array<std::uint32_t, 191> LunarInfo;

// First and last day the table covers: lunar 1900-01-01 and the last day of
// lunar year 2090.
inline constexpr std::chrono::sys_days kTableFirstDay =
    std::chrono::sys_days{std::chrono::year{1900} / 1 / 31};
inline constexpr std::chrono::sys_days kTableLastDay =
    std::chrono::sys_days{std::chrono::year{2091} / 2 / 17};

// 29 or 30. A year below 1900 reads the 1900 entry; a year above 2090 or a
// month outside 1..12 throws DateRangeError.
int LunarMonthDays(int year, int month);
// 0 (none) .. 12; 0 for a year below 1900; throws above 2090.
int LeapMonth(int year);
// 0 (no leap month), 29 or 30; throws above 2090.
int LeapMonthDays(int year);
// Days of the lunar year, leap month included; throws above 2090.
int LunarYearDays(int year);

struct LunarDate {
    int year = 0;   // 1900 .. 2090
    int month = 0;  // 1 .. 12; for a leap month the month it follows
    int day = 0;    // 1 .. 30
    bool leap = false;

    friend bool operator==(const LunarDate&, const LunarDate&) = default;
};

// The lunar date of a calendar day; throws DateRangeError outside
// kTableFirstDay .. kTableLastDay.
LunarDate LunarDateOfDay(std::chrono::sys_days day);

// The calendar day of a lunar date (a leap month only where the year has it);
// throws DateRangeError for a date the lunar year does not have.
std::chrono::sys_days DayOfLunarDate(const LunarDate& date);

// The lunar date of an OLE date. The day count from the base date is rounded
// to the nearest whole day, an exact half to the even count, so a time of day
// after noon belongs to the next day. The base is 1900-01-31 up to and
// including 2000-02-05 00:00 and 2000-02-05 after it, which decides which
// day an exact noon falls on.
LunarDate LunarDateOf(OleDate date);

// The 9-character lunar date code: leap flag "1"/"0", year "0000", month "00",
// day "00", e.g. "120230201" for the first day of leap month 2 of 2023.
std::string LunarDateCode(const LunarDate& date);

// Inverse of LunarDateCode; throws std::invalid_argument on a malformed code.
LunarDate ParseLunarDateCode(std::string_view code);

// The lunar date code of an OLE date (see LunarDateOf).
std::string SolarToLunar(OleDate date);

// Whether the day is the last of its lunar year (the eve of lunar 01-01).
// Throws DateRangeError outside the table.
bool IsLunarYearEnd(std::chrono::sys_days day);

}  // namespace lunar
