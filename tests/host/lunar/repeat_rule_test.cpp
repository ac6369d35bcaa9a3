// The alarms' repeat rules: their text, and the days they hold on.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "lunar/core/lunar_core.h"

namespace {

using namespace std::chrono;

sys_days Day(const std::string& s) {
    return sys_days{year{std::stoi(s.substr(0, 4))} / std::stoi(s.substr(5, 2)) / std::stoi(s.substr(8, 2))};
}

TEST(RepeatRule, TextIsReadAndPrintedCanonically) {
    struct Case {
        const char* text;
        const char* canonical;  // nullptr: not a rule
        const char* label;
    };
    const std::vector<Case> cases = {
        {"", "daily", "每天"},
        {" daily ", "daily", "每天"},
        {"workday", "workday", "工作日"},
        {"restday", "restday", "休息日"},
        {"week:531", "week:135", "每周一三五"},
        {"week:67", "week:67", "每周六日"},
        {"once:2026-10-10", "once:2026-10-10", "仅一次 2026-10-10"},
        {"solar:02-29", "solar:02-29", "每年公历2月29日"},
        {"lunar:08-15", "lunar:08-15", "每年农历八月十五"},
        {"lunar:12-30", "lunar:12-30", "每年农历十二月卅十"},
        {"Daily", nullptr, ""},
        {"week:", nullptr, ""},
        {"week:8", nullptr, ""},
        {"week:11", nullptr, ""},
        {"once:2026-02-29", nullptr, ""},
        {"once:2091-01-01", nullptr, ""},
        {"once:26-10-10", nullptr, ""},
        {"solar:02-30", nullptr, ""},
        {"solar:13-01", nullptr, ""},
        {"lunar:01-31", nullptr, ""},
        {"lunar:00-10", nullptr, ""},
        {"lunar:8-15", nullptr, ""},
        {"monthly:01", nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string why;
        const auto rule = lunar::ParseRepeatRule(c.text, &why);
        if (c.canonical == nullptr) {
            EXPECT_FALSE(rule.has_value());
            EXPECT_FALSE(why.empty());
            EXPECT_EQ(why.find('\n'), std::string::npos);
            continue;
        }
        ASSERT_TRUE(rule.has_value()) << why;
        EXPECT_EQ(lunar::RepeatRuleText(*rule), c.canonical);
        EXPECT_EQ(lunar::RepeatRuleLabel(*rule), c.label);
        EXPECT_EQ(lunar::ParseRepeatRule(lunar::RepeatRuleText(*rule)), rule);
    }
}

// For each rule family: the next day on or after `from` ("" for none) and the
// days between that must not count.
struct NextCase {
    const char* rule;
    const char* from;
    const char* next;
};

void ExpectNext(const lunar::WorkCalendar& calendar, const std::vector<NextCase>& cases) {
    for (const NextCase& c : cases) {
        SCOPED_TRACE(std::string(c.rule) + " from " + c.from);
        const auto rule = lunar::ParseRepeatRule(c.rule);
        ASSERT_TRUE(rule.has_value());
        const auto next = lunar::NextRuleDay(*rule, Day(c.from), calendar);
        const std::string got = next ? lunar::IsoDateText(year_month_day{*next}) : "";
        EXPECT_EQ(got, c.next);
        if (!next) continue;
        EXPECT_TRUE(lunar::RuleHolds(*rule, *next, calendar));
        for (sys_days d = Day(c.from); d < *next; d += days{1}) {
            EXPECT_FALSE(lunar::RuleHolds(*rule, d, calendar)) << lunar::IsoDateText(year_month_day{d});
        }
    }
}

TEST(RepeatRule, DailyWorkdayAndRestday) {
    ExpectNext(lunar::WorkCalendar{}, {
        {"daily", "2026-10-01", "2026-10-01"},
        {"workday", "2026-09-19", "2026-09-20"},   // make-up Sunday
        {"workday", "2026-10-01", "2026-10-08"},   // 1-7 October off
        {"workday", "2026-10-09", "2026-10-09"},
        {"workday", "2026-10-10", "2026-10-10"},   // make-up Saturday
        {"workday", "2026-02-14", "2026-02-14"},   // 春节 2026 make-up Saturday
        {"workday", "2026-02-15", "2026-02-24"},
        {"workday", "2027-02-05", "2027-02-09"},   // unpublished 2027: statutory 春节
        {"workday", "2027-02-20", "2027-02-22"},   // and no make-up days
        {"restday", "2026-09-20", "2026-09-25"},   // 中秋
        {"restday", "2026-10-08", "2026-10-11"},   // 10 October is worked
        {"workday", "2090-12-29", "2090-12-29"},
        {"restday", "2090-12-26", "2090-12-30"},
    });
    const auto workday = *lunar::ParseRepeatRule("workday");
    EXPECT_TRUE(lunar::DependsOnUnpublishedYear(workday, Day("2027-01-04"), lunar::WorkCalendar{}));
    EXPECT_FALSE(lunar::DependsOnUnpublishedYear(workday, Day("2026-12-31"), lunar::WorkCalendar{}));
    EXPECT_FALSE(lunar::DependsOnUnpublishedYear(*lunar::ParseRepeatRule("week:12345"), Day("2027-01-04"),
                                                 lunar::WorkCalendar{}));
}

TEST(RepeatRule, WorkdayFollowsTheUsersFile) {
    const lunar::HolidayFile file = lunar::ParseHolidayFile(
        "\xEF\xBB\xBF" "2027-02-09 休 春节\n2027-02-10 休 春节\n2027-02-20 班 春节\n", nullptr);
    const lunar::WorkCalendar calendar(file.days);
    ExpectNext(calendar, {
        {"workday", "2027-02-05", "2027-02-11"},
        {"workday", "2027-02-20", "2027-02-20"},
    });
    EXPECT_FALSE(lunar::DependsOnUnpublishedYear(*lunar::ParseRepeatRule("workday"), Day("2027-03-01"), calendar));
}

TEST(RepeatRule, WeekdaysAndOnce) {
    ExpectNext(lunar::WorkCalendar{}, {
        {"week:135", "2026-10-01", "2026-10-02"},  // Thursday, then Friday
        {"week:135", "2026-10-03", "2026-10-05"},
        {"week:7", "2026-10-11", "2026-10-11"},
        {"week:1234567", "2026-10-01", "2026-10-01"},
        {"once:2026-10-10", "2026-10-10", "2026-10-10"},
        {"once:2026-10-10", "2026-01-01", "2026-10-10"},
        {"once:2020-01-01", "2026-01-01", ""},     // in the past: never again
    });
}

TEST(RepeatRule, SolarDates) {
    ExpectNext(lunar::WorkCalendar{}, {
        {"solar:10-01", "2026-10-02", "2027-10-01"},
        {"solar:02-29", "2024-02-29", "2024-02-29"},
        {"solar:02-29", "2025-03-01", "2028-02-29"},
        {"solar:02-29", "2096-01-01", ""},
        {"solar:01-01", "2090-01-02", ""},
        {"solar:12-31", "2090-12-31", "2090-12-31"},
    });
}

TEST(RepeatRule, LunarDates) {
    ExpectNext(lunar::WorkCalendar{}, {
        {"lunar:08-15", "2026-01-01", "2026-09-25"},   // 中秋
        {"lunar:01-01", "2026-01-01", "2026-02-17"},   // 春节 2026
        {"lunar:01-01", "2026-02-18", "2027-02-06"},   // 春节 2027
        // 除夕: the 12th month of lunar 2025 and 2026 has 29 days.
        {"lunar:12-30", "2026-01-01", "2026-02-16"},
        {"lunar:12-30", "2026-02-17", "2027-02-05"},
        {"lunar:12-29", "2026-01-01", "2026-02-16"},
        // 2025 has a leap 6th month: the regular one only, once a year.
        {"lunar:06-10", "2025-01-01", "2025-07-04"},
        {"lunar:06-10", "2025-07-05", "2026-07-23"},
        // The 11th and 12th months cross the solar new year without a gap.
        {"lunar:11-20", "2026-01-01", "2026-01-08"},
        {"lunar:12-01", "2026-01-09", "2026-01-19"},
        {"lunar:12-01", "2090-01-02", ""},               // lunar 2090's falls in 2091
    });
    const auto sixth = *lunar::ParseRepeatRule("lunar:06-10");
    EXPECT_FALSE(lunar::RuleHolds(sixth, Day("2025-08-03"), lunar::WorkCalendar{}));  // leap 6/10
}

}  // namespace
