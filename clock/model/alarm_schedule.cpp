#include "clock/model/alarm_schedule.h"

#include <algorithm>

#include "clock/support/settings_file.h"

namespace tockly {

namespace {

using std::chrono::days;
using std::chrono::sys_days;

bool in_rule_years(sys_days day) {
    return day >= lunar::kFirstWorkCalendarDay && day <= lunar::kLastWorkCalendarDay;
}

int row_count(const ClockGlobals& g) { return std::clamp<int>(g.alarm_count, 0, static_cast<int>(g.alarms.size())); }

}  // namespace

lunar::RepeatRule alarm_rule(const AlarmRow& row) { return lunar::ParseRepeatRule(row.rule).value_or(lunar::RepeatRule{}); }

bool alarm_rule_readable(const AlarmRow& row) { return lunar::ParseRepeatRule(row.rule).has_value(); }

sys_days local_day(const LocalTime& t) {
    return sys_days{std::chrono::year{t.year} / std::chrono::month{t.month} / std::chrono::day{t.day}};
}

bool rings_on(const ClockGlobals& g, int row, sys_days day) {
    if (!in_rule_years(day)) return true;
    return lunar::RuleHolds(alarm_rule(g.alarms.at(static_cast<std::size_t>(row))), day, g.work_calendar);
}

std::optional<sys_days> next_ring_day(const ClockGlobals& g, int row, const LocalTime& now, TimeFormat format) {
    const AlarmRow& r = g.alarms.at(static_cast<std::size_t>(row));
    const auto time = parse_time_of_day(r.time, format);
    if (trim_spaces(r.time).empty() || !time) return std::nullopt;
    const sys_days today = local_day(now);
    const sys_days from = *time > now.seconds_of_day() ? today : today + days{1};
    return lunar::NextRuleDay(alarm_rule(r), from, g.work_calendar);
}

std::optional<std::int64_t> next_due_ring(const ClockGlobals& g, const LocalTime& now, TimeFormat format) {
    std::optional<std::int64_t> next;
    const auto consider = [&](std::int64_t at) {
        if (at > now.local_seconds() && (!next || at < *next)) next = at;
    };
    for (int i = 0; i < row_count(g); ++i) {
        const auto day = next_ring_day(g, i, now, format);
        if (!day) continue;
        const std::int64_t midnight = static_cast<std::int64_t>(day->time_since_epoch().count()) * 86400;
        consider(midnight + *parse_time_of_day(g.alarms[static_cast<std::size_t>(i)].time, format));
    }
    if (g.pending_snooze) consider(g.pending_snooze->due);
    return next;
}

std::string holiday_file_problem_text(const std::vector<lunar::HolidayFileProblem>& problems) {
    if (problems.empty()) return {};
    const lunar::HolidayFileProblem& first = problems.front();
    std::string text = std::string(alarm_days::holiday_file_name) + "第" + std::to_string(first.line) +
                       "行看不懂，已跳过：" + first.text;
    if (problems.size() > 1) text += "（共" + std::to_string(problems.size()) + "行跳过）";
    return text;
}

std::string unpublished_year_text(int year) {
    const std::string y = std::to_string(year);
    return y + "年的节假日安排还没有公布：工作日闹铃暂按法定节假日推算，其余周一至周五上班，不调休。"
               "公布后可在Tockly.exe旁的" + std::string(alarm_days::holiday_file_name) +
           "里每行写一天，如“" + y + "-02-20 班”或“" + y + "-02-06 休 春节”。";
}

std::string load_holiday_file(FileSystem& files, AnsiCodec& codec, ClockGlobals& g) {
    const auto bytes = files.read_bytes(g.program_folder + std::string(alarm_days::holiday_file_name));
    if (!bytes) return {};
    const lunar::HolidayFile file =
        lunar::ParseHolidayFile(*bytes, [&codec](std::string_view ansi) { return codec.from_ansi(ansi); });
    g.work_calendar = lunar::WorkCalendar(file.days);
    ++g.alarms_version;
    return holiday_file_problem_text(file.problems);
}

bool AlarmSchedule::refresh(const ClockGlobals& g, sys_days today) {
    if (day_ == today && version_ == g.alarms_version) return false;
    day_ = today;
    version_ = g.alarms_version;
    unpublished_year_ = 0;
    for (int i = 0; i < row_count(g); ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        today_[at] = tockly::rings_on(g, i, today);
        const lunar::RepeatRule rule = alarm_rule(g.alarms[at]);
        if (rule.kind != lunar::RepeatKind::workday && rule.kind != lunar::RepeatKind::restday) continue;
        if (!in_rule_years(today)) continue;
        const auto next = lunar::NextRuleDay(rule, today, g.work_calendar);
        if (next && lunar::DependsOnUnpublishedYear(rule, *next, g.work_calendar))
            unpublished_year_ = static_cast<int>(std::chrono::year_month_day{*next}.year());
    }
    return true;
}

bool AlarmSchedule::rings_on(const ClockGlobals& g, int row, sys_days day) const {
    if (day_ == day && version_ == g.alarms_version && row >= 0 && row < static_cast<int>(today_.size()))
        return today_[static_cast<std::size_t>(row)];
    return tockly::rings_on(g, row, day);
}

}  // namespace tockly
