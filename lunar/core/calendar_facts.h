// The words the control shows and returns for a date: lunar year, month and
// day names, zodiac animal, star sign, solar terms and the label of a day in
// the month grid. All texts are UTF-8.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "lunar/core/lunar_calendar.h"
#include "lunar/core/ole_date.h"

namespace lunar {

// Text tables, in the order the control has always used.
extern const std::array<std::string_view, 10> Stems;          // 甲 .. 癸
extern const std::array<std::string_view, 12> Branches;       // 子 .. 亥
extern const std::array<std::string_view, 12> Animals;        // 鼠 .. 猪
extern const std::array<std::string_view, 11> NumberChars;    // [k] = 一 .. 十 for k = 1..10
extern const std::array<std::string_view, 24> TermNames;      // [n - 1] = 小寒 .. 冬至
extern const std::array<int, 24> TermMinutes;                 // [n - 1], minutes after 小寒
extern const std::array<std::string_view, 17> SolarFestivals; // "mmdd" + name
extern const std::array<std::string_view, 10> LunarFestivals; // "MMDD" + name

// OLE colours (0x00BBGGRR) of the grid texts.
using OleColor = std::uint32_t;
inline constexpr OleColor kBlack = 0x000000;
inline constexpr OleColor kRed = 0x0000FF;
inline constexpr OleColor kBlue = 0xFF0000;

std::string LunarYearName(int year);   // stem + branch + "年", e.g. 甲辰年
std::string LunarMonthName(int month); // 一月 .. 十二月; throws outside 1..12
std::string LunarDayName(int day);     // 初一 .. 廿十 .. 卅十; throws outside 1..30
std::string AnimalName(int year);      // one character

// The star sign of a Gregorian month and day, e.g. "双鱼座".
std::string_view StarSign(std::chrono::month_day day);

// The day on which term n (1 = 小寒 .. 24 = 冬至) of a Gregorian year falls,
// China Standard Time. For 1901..2090 the dates are the astronomical ones;
// other years fall back to the mean-year formula.
std::chrono::sys_days SolarTermDate(int year, int n);

// The name of the solar term falling on the date, or " " (one space) when
// none does. A date carrying a time of day never matches.
std::string SolarTermName(OleDate date);
std::string_view SolarTermName(std::chrono::sys_days day);

// The text under a day number in the month grid and its colour: 除夕 on the
// last day of a lunar year, else a lunar festival, else a solar festival (all
// red), else the lunar day name (black).
struct DayLabel {
    std::string text;
    OleColor color = kBlack;

    friend bool operator==(const DayLabel&, const DayLabel&) = default;
};
DayLabel GridDayLabel(std::chrono::sys_days day);

// The control's public methods. A date before 1901-01-01 or after
// 2090-12-31 00:00 is replaced by `value`, the control's current Value,
// without complaint; a `value` that the lunar table cannot answer for throws
// DateRangeError, which the control turns into a failed call.
OleDate CheckedDate(OleDate theDate, OleDate value);
std::string GetChineseDate(OleDate theDate, OleDate value);   // 农历甲辰年一月初一
std::string GetChineseYear(OleDate theDate, OleDate value);   // 甲辰年, 癸卯年(闰)
std::string GetChineseMonth(OleDate theDate, OleDate value);  // 一月 .. 十二月
std::string GetChineseDay(OleDate theDate, OleDate value);    // 初一 .. 卅十
std::string GetChineseAnimal(OleDate theDate, OleDate value); // 龙
std::string GetConstellation(OleDate theDate, OleDate value); // 水瓶座

}  // namespace lunar
