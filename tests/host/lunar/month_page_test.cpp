#include "lunar/core/month_page.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/host/lunar/test_dates.h"

namespace {

using namespace std::chrono;
using namespace lunar;
using lunar_test::Ole;

TEST(FillDayCells, LeadingBlanksDaysAndTrailingBlanks) {
    struct Case {
        int year;
        int month;
        int lead;    // weekday of the 1st, Sunday = 0
        int length;  // days of the month
    };
    for (const Case& c : std::vector<Case>{
             {2024, 9, 0, 30},  // starts on a Sunday: no leading blank
             {2026, 2, 0, 28},  // Sunday, four full rows
             {2023, 7, 6, 31},  // 31 days from a Saturday: cells 6 .. 36
             {2024, 2, 4, 29},
             {1901, 1, 2, 31},
             {2090, 12, 5, 31},
         }) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
        const auto cells = FillDayCells(c.year, c.month);
        for (int i = 0; i < kDayCellCount; ++i) {
            const int expected = (i >= c.lead && i < c.lead + c.length) ? i - c.lead + 1 : 0;
            EXPECT_EQ(cells[static_cast<std::size_t>(i)], expected) << "cell " << i;
        }
    }
    EXPECT_THROW(FillDayCells(2024, 13), DateRangeError);
}

TEST(MonthCells, LabelsUnderEachDay) {
    const auto cells = MonthCells(2020, 10);  // 2020-10-01 is a Thursday
    EXPECT_EQ(cells[3].day, 0);
    EXPECT_EQ(cells[3].label, DayLabel{});
    EXPECT_EQ(cells[4].day, 1);
    EXPECT_EQ(cells[4].label, (DayLabel{"中秋节", kRed}));
    EXPECT_EQ(cells[5].label, (DayLabel{"十六", kBlack}));
    EXPECT_EQ(cells[9].label, (DayLabel{"老人节", kRed}));  // 10-06
    EXPECT_EQ(cells[34].day, 31);
    EXPECT_EQ(cells[35].day, 0);
}

TEST(MonthCells, MonthOutsideTheTableFails) {
    EXPECT_THROW(MonthCells(1900, 1), DateRangeError);
    EXPECT_THROW(MonthCells(2091, 3), DateRangeError);
}

TEST(MonthTermLine, TwoTermsPerMonth) {
    struct Case {
        int year;
        int month;
        const char* first;
        const char* second;
    };
    for (const Case& c : std::vector<Case>{
             {2024, 1, "小寒：6日", "大寒：20日"},
             {2024, 2, "立春：4日", "雨水：19日"},
             {2017, 12, "大雪：7日", "冬至：22日"},
             {2024, 12, "大雪：6日", "冬至：21日"},
         }) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
        const TermLine line = MonthTermLine(c.year, c.month);
        EXPECT_EQ(line.first, c.first);
        EXPECT_EQ(line.second, c.second);
    }
}

TEST(TitleText, LunarDateWithoutLeapMark) {
    EXPECT_EQ(TitleText(Ole(2024y / 2 / 10)), "农历甲辰年一月初一");
    EXPECT_EQ(TitleText(Ole(2023y / 3 / 22)), "农历癸卯年二月初一");
    EXPECT_EQ(TitleText(Ole(2024y / 1 / 1)), "农历癸卯年十一月廿十");
}

}  // namespace
