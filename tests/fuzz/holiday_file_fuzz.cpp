// The user's holiday file (节假日.txt beside Tockly.exe): any bytes, in
// UTF-8 or the ANSI code page. Reads it; every day it takes is in the
// calendar's years and reads back from the calendar as the file says, and
// the working-day alarms find their next days over it.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>

#include "lunar/core/repeat_rule.h"
#include "lunar/core/working_days.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace std::chrono;
    using tockly::fuzz::broken;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const lunar::HolidayFile file = lunar::ParseHolidayFile(bytes, tockly::fuzz::gbk_to_utf8);
    int last_line = 0;
    for (const auto& problem : file.problems) {
        if (problem.line <= last_line) broken("problems out of line order");
        last_line = problem.line;
    }
    const lunar::WorkCalendar calendar(file.days);
    std::map<sys_days, bool> said;  // a later line for a day wins
    for (const lunar::UserDay& d : file.days) {
        if (d.day < lunar::kFirstWorkCalendarDay || d.day > lunar::kLastWorkCalendarDay) broken("a day outside 1901..2090");
        said[d.day] = d.working;
    }
    for (const auto& [day, working] : said) {
        if (calendar.IsWorkingDay(day) != working) broken("the calendar does not say what the file says");
        if (!calendar.IsPublished(static_cast<int>(year_month_day{day}.year()))) broken("a year of the file unpublished");
    }
    const sys_days from = said.empty() ? sys_days{2026y / 5 / 9} : said.begin()->first;
    for (const auto kind : {lunar::RepeatKind::workday, lunar::RepeatKind::restday}) {
        const lunar::RepeatRule rule{kind};
        const auto next = lunar::NextRuleDay(rule, from, calendar);
        if (next && (*next < from || !lunar::RuleHolds(rule, *next, calendar)))
            broken("a next working or rest day on which the rule does not hold");
    }
    return 0;
}
