// The repeat choice of an alarm row: what the row's 重复 box shows for a rule,
// the rule a box's text means, and the small picker that the choices 每周…,
// 仅一次…, 每年公历… and 每年农历… open (weekday boxes, a date, a month and
// day, a lunar month and day with the day it means next).
// clock/windows/repeat_picker_window draws the picker from this model.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lunar/core/repeat_rule.h"
#include "lunar/core/working_days.h"

namespace tockly {

namespace repeat_picker_design {
// The list of a repeat box, in the order of lunar::RepeatKind. The first three
// are rules themselves; the others open the picker.
inline constexpr std::array<std::string_view, 7> rule_choices = {
    "每天", "工作日", "休息日", "每周…", "仅一次…", "每年公历…", "每年农历…"};
inline constexpr std::array<std::string_view, 7> weekday_names = {"一", "二", "三", "四", "五", "六", "日"};
inline constexpr std::string_view ok_caption = "确定";
inline constexpr std::string_view cancel_caption = "取消";
inline constexpr std::string_view no_weekday_message = "请至少选一天";
inline constexpr std::string_view never_again_message = "不再响铃";
inline constexpr std::string_view next_arrow = " → ";

struct Place {
    int left, top, width, height;  // twips in the picker's client area
};
inline constexpr int client_width_twips = 4500;
inline constexpr int client_height_twips = 2130;
// Seven weekday boxes in a row, or a date, or a month and a day list.
inline constexpr Place weekday_box(int n) { return {150 + 600 * n, 180, 585, 405}; }  // n: 0 Monday .. 6 Sunday
inline constexpr Place date_box{150, 150, 2700, 450};
inline constexpr Place month_list{150, 150, 1800, 450};
inline constexpr Place day_list{2100, 150, 1800, 450};
// Where the rule falls next.
inline constexpr Place preview_line{150, 840, 4200, 405};
inline constexpr Place ok_button{1650, 1500, 1200, 450};
inline constexpr Place cancel_button{3000, 1500, 1200, 450};
// The size of the settings dialog's boxes.
inline constexpr std::string_view font = "宋体";
inline constexpr double points = 14.25;
}  // namespace repeat_picker_design

// What a repeat box shows for a rule: 每天, 工作日, 休息日, 每周一三五,
// 仅一次 2026-10-10, 公历10月1日, 农历八月十五.
std::string rule_display_text(const lunar::RepeatRule& rule);
// The rule a repeat box's text means: one of its display texts, or a rule
// text as stored ("week:135"); nothing (and why) when it is neither.
std::optional<lunar::RepeatRule> rule_of_display_text(std::string_view text, std::string* why = nullptr);
// Whether the choice (an index into rule_choices) needs the picker.
inline bool choice_opens_picker(int choice) { return choice >= 3 && choice < 7; }

// The picker of one choice. It starts from the row's rule when that rule is
// of the same kind, else from today; it gives a rule only when one is chosen
// (at least one weekday).
class RepeatPicker {
public:
    RepeatPicker(lunar::RepeatKind kind, const std::optional<lunar::RepeatRule>& current, std::chrono::sys_days today,
                 const lunar::WorkCalendar& calendar);

    lunar::RepeatKind kind() const { return rule_.kind; }
    // The window's caption: the choice without its dots.
    std::string title() const;

    // weekdays: n 1 Monday .. 7 Sunday
    bool weekday_ticked(int n) const { return (rule_.weekdays >> n & 1u) != 0; }
    void tick_weekday(int n, bool ticked);
    // once
    std::chrono::year_month_day date() const { return rule_.date; }
    void set_date(std::chrono::year_month_day date);
    // solar and lunar: a month and a day, as positions in their lists
    std::vector<std::string> month_list() const;
    std::vector<std::string> day_list() const;
    int month_index() const { return static_cast<int>(rule_.month) - 1; }
    int day_index() const { return static_cast<int>(rule_.day) - 1; }
    void pick_month(int index);
    void pick_day(int index);

    std::optional<lunar::RepeatRule> rule() const;
    // The rule and the day it rings next: "农历八月十五 → 2026-09-25".
    std::string preview() const;

private:
    unsigned last_day() const;

    lunar::RepeatRule rule_;
    std::chrono::sys_days today_;
    const lunar::WorkCalendar& calendar_;
};

}  // namespace tockly
