#include "lunar/core/lunar_calendar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <vector>

#include "tests/host/lunar/test_dates.h"

namespace {

using namespace std::chrono;
using namespace lunar;
using namespace lunar_test;

struct CodeCase {
    year_month_day day;
    int seconds_of_day;
    const char* code;
};

void ExpectCodes(const std::vector<CodeCase>& cases) {
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(Iso(c.day) + " +" + std::to_string(c.seconds_of_day) + "s");
        EXPECT_EQ(SolarToLunar(Ole(c.day, c.seconds_of_day)), c.code);
    }
}

TEST(SolarToLunar, KnownDays) {
    ExpectCodes({
        {1900y / 1 / 31, 0, "019000101"},   // first day of the table
        {1901y / 1 / 1, 0, "019001111"},    // first day callers may pass
        {1901y / 2 / 19, 0, "019010101"},
        {2000y / 2 / 4, 0, "019991229"},    // last day counted from the 1900 base
        {2000y / 2 / 5, 0, "020000101"},    // the 2000 base itself
        {2024y / 2 / 9, 0, "020231230"},
        {2024y / 2 / 10, 0, "020240101"},
        {2020y / 5 / 23, 0, "120200401"},   // leap months
        {2023y / 3 / 22, 0, "120230201"},
        {2023y / 4 / 19, 0, "120230229"},
        {2023y / 4 / 20, 0, "020230301"},
        {2025y / 7 / 25, 0, "120250601"},
        {2025y / 8 / 23, 0, "020250701"},
        {2090y / 12 / 31, 0, "020901111"},  // last day callers may pass
        {2091y / 2 / 17, 0, "020901229"},   // last day of the table (month 12 of 2090 has 29 days)
    });
}

// Offsets from 1900-01-31 (serial 32) keep the parity of the serial; offsets
// from 2000-02-05 (serial 36561) flip it. 2024-02-09 is 8770 days after
// 2000-02-05, 1901-01-01 is 335 days after 1900-01-31.
TEST(SolarToLunar, TimeOfDayRoundsToNearestDayHalfToEven) {
    ExpectCodes({
        {2024y / 2 / 9, Hours(11, 59, 59), "020231230"},
        {2024y / 2 / 9, Hours(12), "020231230"},         // 8770.5 -> 8770
        {2024y / 2 / 9, Hours(12, 0, 1), "020240101"},
        {2024y / 2 / 8, Hours(12), "020231230"},         // 8769.5 -> 8770
        {1900y / 12 / 31, Hours(12), "019001110"},       // 334.5 -> 334
        {1901y / 1 / 1, Hours(12), "019001112"},         // 335.5 -> 336
        {1901y / 1 / 1, Hours(18), "019001112"},
        {2000y / 2 / 4, Hours(18), "020000101"},         // still the 1900 base, rounds across
        {2000y / 2 / 5, Hours(12), "020000101"},         // 2000 base, 0.5 -> 0
        {2000y / 2 / 6, Hours(12), "020000103"},         // 1.5 -> 2
    });
}

// The corrected table entries: the first and the last day that each
// correction moves into another lunar month.
TEST(SolarToLunar, CorrectedTableEntries) {
    ExpectCodes({
        {1933y / 7 / 22, 0, "119330530"}, {1933y / 8 / 20, 0, "019330629"},
        {1954y / 11 / 25, 0, "019541101"}, {1954y / 12 / 24, 0, "019541130"},
        {1956y / 12 / 2, 0, "019561101"}, {1956y / 12 / 31, 0, "019561130"},
        {1978y / 9 / 2, 0, "019780730"}, {1978y / 10 / 1, 0, "019780829"},
        {1996y / 7 / 15, 0, "019960530"}, {1996y / 10 / 11, 0, "019960829"},
        {2033y / 8 / 25, 0, "020330801"}, {2034y / 1 / 19, 0, "120331129"},
        {2033y / 12 / 22, 0, "120331101"},  // 2033's leap month follows the 11th
        {2083y / 11 / 9, 0, "020830930"}, {2083y / 12 / 8, 0, "020831029"},
        {2085y / 4 / 24, 0, "020850401"}, {2085y / 7 / 21, 0, "120850530"},
    });
}

TEST(LunarTable, MonthAndYearLengths) {
    EXPECT_EQ(LunarYearDays(1900), 384);
    EXPECT_EQ(LeapMonth(1900), 8);
    EXPECT_EQ(LeapMonthDays(1900), 29);
    EXPECT_EQ(LunarYearDays(1901), 354);
    EXPECT_EQ(LeapMonth(1901), 0);
    EXPECT_EQ(LeapMonthDays(1901), 0);
    EXPECT_EQ(LeapMonth(2033), 11);
    EXPECT_EQ(LeapMonthDays(1933), 30);  // 0x10000 set
}

TEST(LunarTable, YearsBefore1900ReadThe1900Entry) {
    EXPECT_EQ(LeapMonth(1899), 0);
    EXPECT_EQ(LeapMonthDays(1899), 0);
    for (int m = 1; m <= 12; ++m) {
        SCOPED_TRACE("month " + std::to_string(m));
        EXPECT_EQ(LunarMonthDays(1850, m), LunarMonthDays(1900, m));
    }
}

TEST(LunarTable, OutsideTheTableIsAnError) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"LunarMonthDays(2091, 1)", [] { LunarMonthDays(2091, 1); }},
        {"LunarMonthDays(2000, 0)", [] { LunarMonthDays(2000, 0); }},
        {"LunarMonthDays(2000, 13)", [] { LunarMonthDays(2000, 13); }},
        {"LeapMonth(2091)", [] { LeapMonth(2091); }},
        {"LeapMonthDays(2091)", [] { LeapMonthDays(2091); }},
        {"LunarYearDays(2091)", [] { LunarYearDays(2091); }},
        {"SolarToLunar(2091-02-18)", [] { SolarToLunar(Ole(2091y / 2 / 18)); }},
        {"SolarToLunar(2091-02-17 12:00:01)", [] { SolarToLunar(Ole(2091y / 2 / 17, Hours(12, 0, 1))); }},
        {"SolarToLunar(1900-01-30)", [] { SolarToLunar(Ole(1900y / 1 / 30)); }},
        {"SolarToLunar(NaN)", [nan] { SolarToLunar(nan); }},
        {"SolarToLunar(1e300)", [] { SolarToLunar(1e300); }},
        {"LunarDateOfDay(2091-02-18)", [] { LunarDateOfDay(sys_days{2091y / 2 / 18}); }},
        {"IsLunarYearEnd(1900-01-30)", [] { IsLunarYearEnd(sys_days{1900y / 1 / 30}); }},
    };
    for (const auto& [name, call] : cases) {
        SCOPED_TRACE(name);
        EXPECT_THROW(call(), DateRangeError);
    }
}

TEST(LunarTable, ConsistencyFacts) {
    int century = 0;
    for (int y = 1900; y <= 1999; ++y) century += LunarYearDays(y);
    EXPECT_EQ(century, 36529);
    EXPECT_EQ(century, (sys_days{2000y / 2 / 5} - sys_days{1900y / 1 / 31}).count());

    int rest = 0;
    for (int y = 2000; y <= 2090; ++y) rest += LunarYearDays(y);
    EXPECT_EQ(sys_days{2000y / 2 / 5} + days{rest - 1}, sys_days{2091y / 2 / 17});

    for (int y = 1900; y <= 2090; ++y) {
        SCOPED_TRACE("lunar year " + std::to_string(y));
        EXPECT_GE(LunarYearDays(y), 353);
        EXPECT_LE(LunarYearDays(y), 385);
    }
}

TEST(LunarDateCode, ParsesWhatItWrites) {
    EXPECT_EQ(ParseLunarDateCode("120230229"), (LunarDate{2023, 2, 29, true}));
    EXPECT_EQ(LunarDateCode(LunarDate{1900, 1, 1, false}), "019000101");
    for (const char* bad : {"", "12023022", "220230229", "1202302x9", "1202302299"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ParseLunarDateCode(bad), std::invalid_argument);
    }
}

// Walks every day the table covers and checks that the lunar dates form an
// unbroken calendar with the month lengths the table gives.
TEST(SolarToLunar, WholeRangeFormsAnUnbrokenCalendar) {
    LunarDate previous = ParseLunarDateCode(SolarToLunar(ToOleDate(kTableFirstDay)));
    ASSERT_EQ(previous, (LunarDate{1900, 1, 1, false}));
    std::map<int, int> year_days{{1900, 1}};
    int new_years = 1;

    for (sys_days day = kTableFirstDay + days{1}; day <= kTableLastDay; day += days{1}) {
        const LunarDate now = ParseLunarDateCode(SolarToLunar(ToOleDate(day)));
        EXPECT_EQ(now, LunarDateOfDay(day)) << Iso(day);
        ++year_days[now.year];
        const bool same_month = now.year == previous.year && now.month == previous.month &&
                                now.leap == previous.leap;
        if (same_month) {
            ASSERT_EQ(now.day, previous.day + 1) << Iso(day);
            EXPECT_FALSE(IsLunarYearEnd(day - days{1})) << Iso(day);
            previous = now;
            continue;
        }
        // A month ended yesterday: it must have had its full length.
        const int length = previous.leap ? LeapMonthDays(previous.year)
                                         : LunarMonthDays(previous.year, previous.month);
        ASSERT_EQ(previous.day, length) << Iso(day);
        ASSERT_EQ(now.day, 1) << Iso(day);
        EXPECT_EQ(IsLunarYearEnd(day - days{1}), now.year != previous.year) << Iso(day);

        const int leap = LeapMonth(previous.year);
        LunarDate expected{previous.year, previous.month + 1, 1, false};
        if (!previous.leap && previous.month == leap) {
            expected = {previous.year, previous.month, 1, true};
        } else if (previous.month == 12) {
            expected = {previous.year + 1, 1, 1, false};
        }
        ASSERT_EQ(now, expected) << Iso(day);
        if (now.month == 1 && now.day == 1) ++new_years;
        previous = now;
    }
    EXPECT_EQ(new_years, 191);
    EXPECT_TRUE(IsLunarYearEnd(kTableLastDay));
    for (const auto& [y, count] : year_days) {
        EXPECT_EQ(count, LunarYearDays(y)) << "lunar year " << y;
    }
}

TEST(DayOfLunarDate, InvertsTheConversionAndRefusesMissingDays) {
    for (sys_days d = kTableFirstDay; d <= kTableLastDay; d += days{1}) {
        ASSERT_EQ(DayOfLunarDate(LunarDateOfDay(d)), d) << IsoDateText(year_month_day{d});
    }
    EXPECT_THROW(DayOfLunarDate({2025, 5, 1, true}), DateRangeError);   // 2025's leap month is the 6th
    EXPECT_THROW(DayOfLunarDate({2025, 12, 30, false}), DateRangeError); // a 29-day month
    EXPECT_THROW(DayOfLunarDate({2091, 1, 1, false}), DateRangeError);
}

}  // namespace
