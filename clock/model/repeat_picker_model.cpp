#include "clock/model/repeat_picker_model.h"

#include <algorithm>
#include <utility>

#include "clock/support/settings_file.h"
#include "lunar/core/calendar_facts.h"
#include "lunar/core/lunar_calendar.h"
#include "lunar/core/ole_date.h"

namespace tockly {

namespace {

using namespace std::chrono;
using repeat_picker_design::rule_choices;

constexpr std::string_view every_year = "每年";
constexpr std::string_view once_words = "仅一次";

bool starts_with(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Every rule with a readable form that is not a date of its own, with that
// form: the repeat box matches what the user typed against these, so a text
// means a rule exactly when the box would show that rule so.
const std::vector<std::pair<std::string, lunar::RepeatRule>>& named_rules() {
    static const auto rules = [] {
        std::vector<lunar::RepeatRule> all{{lunar::RepeatKind::daily}, {lunar::RepeatKind::workday},
                                           {lunar::RepeatKind::restday}};
        for (unsigned days = 1; days < 128; ++days) all.push_back({lunar::RepeatKind::weekdays, days << 1});
        for (unsigned m = 1; m <= 12; ++m)
            for (unsigned d = 1; d <= 31; ++d) {
                if (month_day{month{m}, day{d}}.ok()) all.push_back({lunar::RepeatKind::solar, 0, {}, m, d});
                if (d <= 30) all.push_back({lunar::RepeatKind::lunar, 0, {}, m, d});
            }
        std::vector<std::pair<std::string, lunar::RepeatRule>> named;
        for (const auto& rule : all) named.emplace_back(rule_display_text(rule), rule);
        return named;
    }();
    return rules;
}

}  // namespace

std::string rule_display_text(const lunar::RepeatRule& rule) {
    std::string label = lunar::RepeatRuleLabel(rule);
    // The box is narrow, and "every year" is what 公历 and 农历 dates do anyway.
    if ((rule.kind == lunar::RepeatKind::solar || rule.kind == lunar::RepeatKind::lunar) && starts_with(label, every_year))
        label.erase(0, every_year.size());
    return label;
}

std::optional<lunar::RepeatRule> rule_of_display_text(std::string_view text, std::string* why) {
    const std::string trimmed = trim_spaces(text);
    if (auto stored = lunar::ParseRepeatRule(trimmed)) return stored;
    std::string_view words = trimmed;
    // The alarm list and the dialog's message say 每年公历…; that reads as well.
    if (starts_with(words, every_year)) words.remove_prefix(every_year.size());
    for (const auto& [shown, rule] : named_rules())
        if (shown == words) return rule;
    if (starts_with(words, once_words)) return lunar::ParseRepeatRule("once:" + trim_spaces(words.substr(once_words.size())), why);
    return lunar::ParseRepeatRule(trimmed, why);
}

RepeatPicker::RepeatPicker(lunar::RepeatKind kind, const std::optional<lunar::RepeatRule>& current, sys_days today,
                           const lunar::WorkCalendar& calendar)
    : today_(today), calendar_(calendar) {
    if (current && current->kind == kind) {
        rule_ = *current;
        return;
    }
    // A new choice starts from today, or Monday to Friday.
    rule_.kind = kind;
    const year_month_day date{today};
    rule_.weekdays = 0b111110;
    rule_.date = date;
    rule_.month = static_cast<unsigned>(date.month());
    rule_.day = static_cast<unsigned>(date.day());
    if (kind != lunar::RepeatKind::lunar) return;
    try {
        const lunar::LunarDate lunar_today = lunar::LunarDateOfDay(today);
        rule_.month = static_cast<unsigned>(lunar_today.month);
        rule_.day = static_cast<unsigned>(lunar_today.day);
    } catch (const std::exception&) {
        rule_.month = rule_.day = 1;
    }
}

std::string RepeatPicker::title() const {
    std::string_view choice = rule_choices.at(static_cast<std::size_t>(rule_.kind));
    constexpr std::string_view dots = "…";
    if (choice.size() >= dots.size() && choice.substr(choice.size() - dots.size()) == dots)
        choice.remove_suffix(dots.size());
    return std::string(choice);
}

void RepeatPicker::tick_weekday(int n, bool ticked) {
    if (n < 1 || n > 7) return;
    if (ticked)
        rule_.weekdays |= 1u << n;
    else
        rule_.weekdays &= ~(1u << n);
}

void RepeatPicker::set_date(year_month_day date) {
    if (date.ok()) rule_.date = date;
}

unsigned RepeatPicker::last_day() const {
    if (rule_.kind == lunar::RepeatKind::lunar) return 30;
    // 29 February counts: the rule then rings in leap years.
    return static_cast<unsigned>(year_month_day_last{year{2000}, month_day_last{month{rule_.month}}}.day());
}

std::vector<std::string> RepeatPicker::month_list() const {
    std::vector<std::string> names;
    for (int m = 1; m <= 12; ++m)
        names.push_back(rule_.kind == lunar::RepeatKind::lunar ? lunar::LunarMonthName(m) : std::to_string(m) + "月");
    return names;
}

std::vector<std::string> RepeatPicker::day_list() const {
    std::vector<std::string> names;
    for (int d = 1; d <= static_cast<int>(last_day()); ++d)
        names.push_back(rule_.kind == lunar::RepeatKind::lunar ? lunar::LunarDayName(d) : std::to_string(d) + "日");
    return names;
}

void RepeatPicker::pick_month(int index) {
    rule_.month = static_cast<unsigned>(std::clamp(index + 1, 1, 12));
    rule_.day = std::min(rule_.day, last_day());
}

void RepeatPicker::pick_day(int index) {
    rule_.day = static_cast<unsigned>(std::clamp(index + 1, 1, static_cast<int>(last_day())));
}

std::optional<lunar::RepeatRule> RepeatPicker::rule() const {
    // What the settings file would read back is what the picker gives.
    const auto rule = lunar::ParseRepeatRule(lunar::RepeatRuleText(rule_));
    if (!rule || rule->kind != rule_.kind) return std::nullopt;
    return rule;
}

std::string RepeatPicker::preview() const {
    const auto chosen = rule();
    if (!chosen) return std::string(repeat_picker_design::no_weekday_message);
    std::string text = rule_display_text(*chosen) + std::string(repeat_picker_design::next_arrow);
    try {
        const auto next = lunar::NextRuleDay(*chosen, today_, calendar_);
        text += next ? lunar::IsoDateText(year_month_day{*next}) : std::string(repeat_picker_design::never_again_message);
    } catch (const std::exception&) {
        text += repeat_picker_design::never_again_message;
    }
    return text;
}

}  // namespace tockly
