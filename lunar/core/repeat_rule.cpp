#include "lunar/core/repeat_rule.h"

#include <algorithm>

#include "lunar/core/calendar_facts.h"
#include "lunar/core/lunar_calendar.h"

namespace lunar {

namespace {

using namespace std::chrono;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

std::optional<unsigned> Digits(std::string_view text) {
    if (text.empty()) return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

// "MM-DD" with two digits each.
std::optional<std::pair<unsigned, unsigned>> MonthDay(std::string_view text) {
    if (text.size() != 5 || text[2] != '-') return std::nullopt;
    const auto m = Digits(text.substr(0, 2)), d = Digits(text.substr(3, 2));
    if (!m || !d) return std::nullopt;
    return std::pair{*m, *d};
}

std::optional<RepeatRule> Fail(std::string* why, std::string message) {
    if (why) *why = std::move(message);
    return std::nullopt;
}

std::optional<RepeatRule> ParseWeek(std::string_view digits, std::string* why) {
    RepeatRule rule{RepeatKind::weekdays};
    if (digits.empty()) return Fail(why, "week: needs at least one weekday digit, 1 Monday .. 7 Sunday");
    for (char c : digits) {
        if (c < '1' || c > '7') return Fail(why, std::string("week: weekday '") + c + "' is not 1 .. 7");
        const unsigned bit = 1u << (c - '0');
        if (rule.weekdays & bit) return Fail(why, std::string("week: weekday ") + c + " is given twice");
        rule.weekdays |= bit;
    }
    return rule;
}

std::optional<RepeatRule> ParseOnce(std::string_view text, std::string* why) {
    const auto fail = [&] { return Fail(why, "once: \"" + std::string(text) + "\" is not a date YYYY-MM-DD"); };
    if (text.size() != 10 || text[4] != '-') return fail();
    const auto y = Digits(text.substr(0, 4));
    const auto md = MonthDay(text.substr(5));
    if (!y || !md) return fail();
    const year_month_day date{year{static_cast<int>(*y)}, month{md->first}, day{md->second}};
    if (!date.ok()) return fail();
    if (sys_days{date} < kFirstWorkCalendarDay || sys_days{date} > kLastWorkCalendarDay) {
        return Fail(why, "once: " + std::string(text) + " is outside 1901-01-01 .. 2090-12-31");
    }
    RepeatRule rule{RepeatKind::once};
    rule.date = date;
    return rule;
}

std::optional<RepeatRule> ParseYearly(RepeatKind kind, std::string_view text, std::string* why) {
    const std::string name = kind == RepeatKind::solar ? "solar" : "lunar";
    const auto md = MonthDay(text);
    if (!md) return Fail(why, name + ": \"" + std::string(text) + "\" is not MM-DD");
    const auto [m, d] = *md;
    if (m < 1 || m > 12) return Fail(why, name + ": month " + std::to_string(m) + " is not 1 .. 12");
    const bool day_ok = kind == RepeatKind::solar ? month_day{month{m}, day{d}}.ok() : (d >= 1 && d <= 30);
    if (!day_ok) return Fail(why, name + ": month " + std::to_string(m) + " has no day " + std::to_string(d));
    RepeatRule rule{kind};
    rule.month = m;
    rule.day = d;
    return rule;
}

std::string TwoDigits(unsigned n) { return std::string(1, static_cast<char>('0' + n / 10 % 10)) + static_cast<char>('0' + n % 10); }

// The day of this lunar year the rule falls on: the regular month, its last
// day when the month is shorter than the day asked for.
sys_days LunarRuleDay(const RepeatRule& rule, int lunar_year) {
    const int m = static_cast<int>(rule.month);
    const int d = std::min(static_cast<int>(rule.day), LunarMonthDays(lunar_year, m));
    return DayOfLunarDate(LunarDate{lunar_year, m, d, false});
}

void CheckRange(sys_days day) {
    if (day < kFirstWorkCalendarDay || day > kLastWorkCalendarDay) {
        throw DateRangeError("day outside 1901-01-01 .. 2090-12-31");
    }
}

std::optional<sys_days> InRange(sys_days day) {
    if (day > kLastWorkCalendarDay) return std::nullopt;
    return day;
}

std::optional<sys_days> NextSolar(const RepeatRule& rule, sys_days from) {
    for (int y = static_cast<int>(year_month_day{from}.year()); y <= 2090; ++y) {
        const year_month_day date{year{y}, month{rule.month}, day{rule.day}};
        if (date.ok() && sys_days{date} >= from) return InRange(sys_days{date});
    }
    return std::nullopt;
}

std::optional<sys_days> NextLunar(const RepeatRule& rule, sys_days from) {
    for (int y = LunarDateOfDay(from).year; y <= kLastLunarYear; ++y) {
        const sys_days day = LunarRuleDay(rule, y);
        if (day >= from) return InRange(day);
    }
    return std::nullopt;
}

std::optional<sys_days> NextByDays(const RepeatRule& rule, sys_days from, const WorkCalendar& calendar) {
    for (sys_days day = from; day <= kLastWorkCalendarDay; day += days{1}) {
        if (RuleHolds(rule, day, calendar)) return day;
    }
    return std::nullopt;
}

}  // namespace

std::optional<RepeatRule> ParseRepeatRule(std::string_view text, std::string* why) {
    text = Trim(text);
    if (text.empty() || text == "daily") return RepeatRule{};
    if (text == "workday") return RepeatRule{RepeatKind::workday};
    if (text == "restday") return RepeatRule{RepeatKind::restday};
    const std::size_t colon = text.find(':');
    const std::string_view head = text.substr(0, colon);
    const std::string_view tail = colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
    if (colon != std::string_view::npos) {
        if (head == "week") return ParseWeek(tail, why);
        if (head == "once") return ParseOnce(tail, why);
        if (head == "solar") return ParseYearly(RepeatKind::solar, tail, why);
        if (head == "lunar") return ParseYearly(RepeatKind::lunar, tail, why);
    }
    return Fail(why, "\"" + std::string(text) +
                         "\" is not a rule: daily, workday, restday, week:DIGITS, once:YYYY-MM-DD, "
                         "solar:MM-DD or lunar:MM-DD");
}

std::string RepeatRuleText(const RepeatRule& rule) {
    switch (rule.kind) {
    case RepeatKind::daily: return "daily";
    case RepeatKind::workday: return "workday";
    case RepeatKind::restday: return "restday";
    case RepeatKind::weekdays: {
        std::string text = "week:";
        for (int n = 1; n <= 7; ++n) {
            if (rule.weekdays & (1u << n)) text += static_cast<char>('0' + n);
        }
        return text;
    }
    case RepeatKind::once: return "once:" + IsoDateText(rule.date);
    case RepeatKind::solar: return "solar:" + TwoDigits(rule.month) + "-" + TwoDigits(rule.day);
    case RepeatKind::lunar: return "lunar:" + TwoDigits(rule.month) + "-" + TwoDigits(rule.day);
    }
    return "daily";
}

std::string RepeatRuleLabel(const RepeatRule& rule) {
    static constexpr std::string_view kWeekdayChars[8] = {"", "一", "二", "三", "四", "五", "六", "日"};
    switch (rule.kind) {
    case RepeatKind::daily: return "每天";
    case RepeatKind::workday: return "工作日";
    case RepeatKind::restday: return "休息日";
    case RepeatKind::weekdays: {
        std::string text = "每周";
        for (int n = 1; n <= 7; ++n) {
            if (rule.weekdays & (1u << n)) text += kWeekdayChars[n];
        }
        return text;
    }
    case RepeatKind::once: return "仅一次 " + IsoDateText(rule.date);
    case RepeatKind::solar:
        return "每年公历" + std::to_string(rule.month) + "月" + std::to_string(rule.day) + "日";
    case RepeatKind::lunar:
        return "每年农历" + LunarMonthName(static_cast<int>(rule.month)) + LunarDayName(static_cast<int>(rule.day));
    }
    return "每天";
}

bool RuleHolds(const RepeatRule& rule, sys_days day, const WorkCalendar& calendar) {
    CheckRange(day);
    switch (rule.kind) {
    case RepeatKind::daily: return true;
    case RepeatKind::workday: return calendar.IsWorkingDay(day);
    case RepeatKind::restday: return !calendar.IsWorkingDay(day);
    case RepeatKind::weekdays: return (rule.weekdays & (1u << weekday{day}.iso_encoding())) != 0;
    case RepeatKind::once: return sys_days{rule.date} == day;
    case RepeatKind::solar: return year_month_day{day}.month() == month{rule.month} &&
                                   year_month_day{day}.day() == std::chrono::day{rule.day};
    case RepeatKind::lunar: {
        const LunarDate lunar = LunarDateOfDay(day);
        return !lunar.leap && lunar.month == static_cast<int>(rule.month) && LunarRuleDay(rule, lunar.year) == day;
    }
    }
    return true;
}

std::optional<sys_days> NextRuleDay(const RepeatRule& rule, sys_days from, const WorkCalendar& calendar) {
    from = std::max(from, kFirstWorkCalendarDay);
    if (from > kLastWorkCalendarDay) return std::nullopt;
    switch (rule.kind) {
    case RepeatKind::daily: return from;
    case RepeatKind::once:
        if (sys_days{rule.date} >= from) return InRange(sys_days{rule.date});
        return std::nullopt;
    case RepeatKind::solar: return NextSolar(rule, from);
    case RepeatKind::lunar: return NextLunar(rule, from);
    default: return NextByDays(rule, from, calendar);
    }
}

bool DependsOnUnpublishedYear(const RepeatRule& rule, sys_days day, const WorkCalendar& calendar) {
    if (rule.kind != RepeatKind::workday && rule.kind != RepeatKind::restday) return false;
    return !calendar.IsPublished(static_cast<int>(year_month_day{day}.year()));
}

}  // namespace lunar
