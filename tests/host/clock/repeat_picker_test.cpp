// The repeat choice of an alarm row: stored rule <-> list choice <-> what the
// box shows, and the picker that the last four choices open.
#include <gtest/gtest.h>

#include <functional>

#include "clock/model/repeat_picker_model.h"
#include "tests/host/clock/alarm_dialog_fakes.h"

namespace tockly {
namespace {

using namespace std::chrono;
using lunar::RepeatKind;

TEST(RepeatPicker, RuleChoiceAndShownTextGoBothWaysAndThePickerGivesTheRuleItShows) {
    const struct {
        const char* stored;  // as the settings file holds it
        const char* shown;   // in the row's 重复 box
        int choice;          // in the box's list
    } forms[] = {
        {"daily", "每天", 0},
        {"workday", "工作日", 1},
        {"restday", "休息日", 2},
        {"week:135", "每周一三五", 3},
        {"week:7", "每周日", 3},
        {"once:2026-10-10", "仅一次 2026-10-10", 4},
        {"solar:02-29", "公历2月29日", 5},
        {"lunar:08-15", "农历八月十五", 6},
        {"lunar:12-30", "农历十二月卅十", 6},
    };
    for (const auto& f : forms) {
        const auto rule = lunar::ParseRepeatRule(f.stored);
        ASSERT_TRUE(rule) << f.stored;
        EXPECT_EQ(rule_display_text(*rule), f.shown) << f.stored;
        EXPECT_EQ(static_cast<int>(rule->kind), f.choice) << f.stored;
        // The first three choices are the rules themselves; the others open the picker.
        if (f.choice < 3) {
            EXPECT_EQ(repeat_picker_design::rule_choices[static_cast<std::size_t>(f.choice)], f.shown);
        }
        EXPECT_EQ(choice_opens_picker(f.choice), f.choice >= 3) << f.stored;
        EXPECT_EQ(rule_of_display_text(f.shown), rule) << f.shown;
    }
    // Typed by hand: the rule texts, the alarm list's words; nothing else.
    EXPECT_EQ(rule_of_display_text(" week:531 "), lunar::ParseRepeatRule("week:135"));
    EXPECT_EQ(rule_of_display_text("每年农历八月十五"), lunar::ParseRepeatRule("lunar:08-15"));
    EXPECT_EQ(rule_of_display_text(""), lunar::RepeatRule{}) << "an empty box rings daily";
    std::string why;
    for (const char* unreadable : {"每周", "公历2月30日", "农历八月卅一", "仅一次 2026-02-30", "fortnightly"}) {
        why.clear();
        EXPECT_FALSE(rule_of_display_text(unreadable, &why)) << unreadable;
        EXPECT_FALSE(why.empty()) << unreadable;
    }

    // The picker, opened on Tuesday 2026-09-01 (lunar 七月廿十).
    const sys_days today = year{2026} / 9 / 1;
    const lunar::WorkCalendar calendar;
    const struct {
        RepeatKind kind;
        const char* row;  // the row's rule before
        std::function<void(RepeatPicker&)> change;
        const char* rule;  // what it gives; "" none
        const char* preview;
    } picks[] = {
        {RepeatKind::weekdays, "每天", [](RepeatPicker&) {}, "week:12345", "每周一二三四五 → 2026-09-01"},
        {RepeatKind::weekdays, "每周一三五",
         [](RepeatPicker& p) { p.tick_weekday(1, false), p.tick_weekday(3, false), p.tick_weekday(6, true); },
         "week:56", "每周五六 → 2026-09-04"},
        {RepeatKind::weekdays, "week:3", [](RepeatPicker& p) { p.tick_weekday(3, false); }, "", "请至少选一天"},
        {RepeatKind::once, "", [](RepeatPicker& p) { p.set_date(year{2026} / 10 / 10); }, "once:2026-10-10",
         "仅一次 2026-10-10 → 2026-10-10"},
        {RepeatKind::once, "", [](RepeatPicker& p) { p.set_date(year{2026} / 8 / 31); }, "once:2026-08-31",
         "仅一次 2026-08-31 → 不再响铃"},
        {RepeatKind::solar, "fortnightly", [](RepeatPicker&) {}, "solar:09-01", "公历9月1日 → 2026-09-01"},
        // The day of a month too short for it is that month's last.
        {RepeatKind::solar, "solar:01-31", [](RepeatPicker& p) { p.pick_month(1); }, "solar:02-29",
         "公历2月29日 → 2028-02-29"},
        {RepeatKind::lunar, "week:135", [](RepeatPicker&) {}, "lunar:07-20", "农历七月廿十 → 2026-09-01"},
        {RepeatKind::lunar, "", [](RepeatPicker& p) { p.pick_month(7), p.pick_day(14); }, "lunar:08-15",
         "农历八月十五 → 2026-09-25"},
        // 除夕 of a year whose twelfth month has 29 days.
        {RepeatKind::lunar, "农历十二月卅十", [](RepeatPicker&) {}, "lunar:12-30", "农历十二月卅十 → 2027-02-05"},
    };
    for (const auto& p : picks) {
        RepeatPicker picker(p.kind, rule_of_display_text(p.row), today, calendar);
        p.change(picker);
        const auto rule = picker.rule();
        EXPECT_EQ(rule ? lunar::RepeatRuleText(*rule) : "", p.rule) << p.row << " " << p.preview;
        EXPECT_EQ(picker.preview(), p.preview) << p.row;
    }
    RepeatPicker february(RepeatKind::solar, lunar::ParseRepeatRule("solar:02-10"), today, calendar);
    EXPECT_EQ(february.day_list().size(), 29u);
    EXPECT_EQ(february.month_list().at(11), "12月");
    EXPECT_EQ(RepeatPicker(RepeatKind::lunar, {}, today, calendar).month_list().at(7), "八月");
    EXPECT_EQ(RepeatPicker(RepeatKind::lunar, {}, today, calendar).day_list().size(), 30u);
    EXPECT_EQ(february.title(), "每年公历");
}

// The dialog's row: a choice that needs a day opens the picker; what it gives
// is shown in words and stored as the rule; cancelling keeps what was there,
// an unreadable rule included (still marked).
class ScriptedPicker : public RepeatPickerDialog {
public:
    std::function<bool(RepeatPicker&)> answer;
    int opened = 0;
    bool run(RepeatPicker& picker) override { return ++opened, answer(picker); }
};

TEST(RepeatPicker, TheRowShowsWhatThePickerGaveAndCancellingKeepsTheOldRule) {
    test::AlarmDialogRig rig;
    test::FakeClock clock;
    clock.set(8, 0, 0);  // Saturday 2026-05-09
    rig.store_row(0, "7:00:00", "a.mp3", "坏");
    rig.set("naoling", "0cf", "fortnightly");
    ScriptedPicker picker;
    AlarmDialog f(AlarmDialogPorts{rig.profile, rig.boxes, rig.folders, rig.resources, rig.files, rig.face, rig.notice,
                                   rig.file_dialog, rig.format, &clock, &picker},
                  rig.globals);
    f.load();
    const Box row0{Control::rule_box, 0};
    picker.answer = [](RepeatPicker&) { return false; };
    f.rule_picked(0, "每周…");
    EXPECT_EQ(f.text(row0), "fortnightly");
    EXPECT_FALSE(f.rule_readable(0));
    picker.answer = [](RepeatPicker& p) { return p.tick_weekday(6, true), true; };
    f.rule_picked(0, "每周…");
    EXPECT_EQ(f.text(row0), "每周一二三四五六");
    EXPECT_EQ(f.message(), "第1行：每周一二三四五六，最近一次 2026-05-09");
    f.rule_picked(0, "工作日");
    EXPECT_EQ(picker.opened, 2) << "工作日 is a rule of its own";
    f.save();
    EXPECT_EQ(rig.stored("naoling", "0cf"), "workday");
}

}  // namespace
}  // namespace tockly
