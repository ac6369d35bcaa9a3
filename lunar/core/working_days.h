// China's working days. Each year the State Council publishes which days are
// holidays and which weekend days are worked instead (调休); the built-in
// table has every arrangement of 2004..2026. For a year not in it the
// statutory holidays stand in, and a user's file (节假日.txt) can add a year
// the day its arrangement is published, or correct any day.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace lunar {

// The days the working-day calendar (and the repeat rules built on it)
// answers for: those of the lunar table that the statutory holidays need.
inline constexpr std::chrono::sys_days kFirstWorkCalendarDay =
    std::chrono::sys_days{std::chrono::year{1901} / 1 / 1};
inline constexpr std::chrono::sys_days kLastWorkCalendarDay =
    std::chrono::sys_days{std::chrono::year{2090} / 12 / 31};

int FirstPublishedYear();  // 2004
int LastPublishedYear();   // 2026

// What a day carries beyond its weekday.
enum class DayMark {
    none,     // an ordinary day: Monday to Friday worked, the weekend free
    rest,     // 休: a day off of a holiday (weekend days inside it included)
    makeup,   // 班: a weekend day worked in exchange for a holiday
};

struct DayStatus {
    bool working = false;
    DayMark mark = DayMark::none;
    std::string name;        // the holiday's name, when the day has one
    bool published = true;   // false: the year's arrangement is not known and
                             // the statutory holidays stand in for it

    friend bool operator==(const DayStatus&, const DayStatus&) = default;
};

// The statutory holidays of a year under the holiday law as amended in 2024:
// 元旦 1 January; 春节 除夕 and 初一 to 初三; 清明 the day of the 清明 term;
// 劳动节 1 and 2 May; 端午 5/5 and 中秋 8/15 of the lunar calendar; 国庆节 1 to
// 3 October. In date order, each with its name. Years 1901..2090.
struct NamedDay {
    std::chrono::sys_days day;
    std::string name;

    friend bool operator==(const NamedDay&, const NamedDay&) = default;
};
std::vector<NamedDay> StatutoryHolidays(int year);

// One line of the user's file: a day made a working day (班) or a day off
// (休), with an optional name.
struct UserDay {
    std::chrono::sys_days day;
    bool working = false;
    std::string name;

    friend bool operator==(const UserDay&, const UserDay&) = default;
};

struct HolidayFileProblem {
    int line = 0;       // 1-based
    std::string text;   // the line as read (UTF-8), comment included

    friend bool operator==(const HolidayFileProblem&, const HolidayFileProblem&) = default;
};

struct HolidayFile {
    std::vector<UserDay> days;                  // in file order
    std::vector<HolidayFileProblem> problems;   // lines skipped
};

// Turns text of the system's ANSI code page (GBK on a Chinese Windows) into
// UTF-8. The lunar core has no code pages of its own; the caller lends one.
using AnsiDecoder = std::function<std::string(std::string_view)>;

// Reads the user's file. UTF-8 with a byte-order mark, or UTF-8 without one
// when every byte sequence is valid UTF-8, else ANSI through `ansi_to_utf8`.
// One date a line: "2027-02-20 班" or "2027-02-06 休 春节"; "#" starts a
// comment; blank lines are skipped. A line that is not of this form, or whose
// date is outside 1901..2090, is listed in `problems` and skipped; every other
// line counts. A pure function of its input.
HolidayFile ParseHolidayFile(std::string_view bytes, const AnsiDecoder& ansi_to_utf8);

// The built-in arrangements and the statutory fallback, with the user's days
// over them. A year with at least one user day counts as published: its
// listed days are as the user says, the rest as in the table or, for a year
// the table does not have, the statutory holidays and the weekends.
class WorkCalendar {
public:
    WorkCalendar() = default;
    explicit WorkCalendar(const std::vector<UserDay>& user_days);

    // Throws DateRangeError outside kFirstWorkCalendarDay .. kLastWorkCalendarDay.
    DayStatus Status(std::chrono::sys_days day) const;
    bool IsWorkingDay(std::chrono::sys_days day) const { return Status(day).working; }
    bool IsPublished(int year) const;

private:
    std::map<std::chrono::sys_days, UserDay> user_days_;
    std::set<int> user_years_;
};

}  // namespace lunar
