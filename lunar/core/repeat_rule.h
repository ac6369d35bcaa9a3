// When an alarm repeats: one short text per rule, the same in the settings
// file and on the command line.
//
//   daily (or empty)  every day
//   workday           China's working days (WorkCalendar)
//   restday           the other days
//   week:135          the weekdays named, 1 Monday .. 7 Sunday
//   once:2026-10-10   that day only
//   solar:02-29       every year on that date (02-29 only in leap years)
//   lunar:12-30       every year on that day of that lunar month, never in a
//                     leap month of the same number; a day past the month's
//                     end falls on its last day (so 12-30 is always 除夕)
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "lunar/core/working_days.h"

namespace lunar {

enum class RepeatKind { daily, workday, restday, weekdays, once, solar, lunar };

struct RepeatRule {
    RepeatKind kind = RepeatKind::daily;
    unsigned weekdays = 0;                 // weekdays: bit n for weekday n, 1 Monday .. 7 Sunday
    std::chrono::year_month_day date{};    // once
    unsigned month = 0;                    // solar, lunar: 1..12
    unsigned day = 0;                      // solar: 1..31; lunar: 1..30

    friend bool operator==(const RepeatRule&, const RepeatRule&) = default;
};

// Leading and trailing spaces are ignored. On a text that is no rule returns
// nothing and, when `why` is given, says in one line what is wrong.
std::optional<RepeatRule> ParseRepeatRule(std::string_view text, std::string* why = nullptr);

// The rule's text in its one canonical form ("daily", "week:135", ...).
std::string RepeatRuleText(const RepeatRule& rule);

// The rule in words for the alarm list and the dialog: 每天, 工作日, 休息日,
// 每周一三五, 仅一次 2026-10-10, 每年公历10月1日, 每年农历八月十五.
std::string RepeatRuleLabel(const RepeatRule& rule);

// Whether the rule holds on the day. Throws DateRangeError outside
// kFirstWorkCalendarDay .. kLastWorkCalendarDay.
bool RuleHolds(const RepeatRule& rule, std::chrono::sys_days day, const WorkCalendar& calendar);

// The first day on or after `from` on which the rule holds, if there is one
// up to kLastWorkCalendarDay. A `from` before kFirstWorkCalendarDay starts there.
std::optional<std::chrono::sys_days> NextRuleDay(const RepeatRule& rule, std::chrono::sys_days from,
                                                 const WorkCalendar& calendar);

// Whether the rule's answer for the day rests on a year whose arrangement is
// not published (workday and restday only).
bool DependsOnUnpublishedYear(const RepeatRule& rule, std::chrono::sys_days day, const WorkCalendar& calendar);

}  // namespace lunar
